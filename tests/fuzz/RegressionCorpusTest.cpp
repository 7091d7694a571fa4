// The kept cases, each once through the command-line mode in process.
#include "RegressionCorpus.h"

namespace {

class RegressionCorpus : public FuzzTest {};

} // namespace

TEST_F(RegressionCorpus, PicturesEndCleanly)
{
    supervisor.expectAllKept(pictureCorpus);
}

TEST_F(RegressionCorpus, SettingsEndCleanlyAndInTime)
{
    supervisor.expectAllKept(settingsCorpus);
}
