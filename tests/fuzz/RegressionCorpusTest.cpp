// The kept cases, each once through the command-line mode in process.
#include "RegressionCorpus.h"

namespace {

class RegressionCorpus : public FuzzTest {
protected:
    // One case at a time: how long a settings file takes to load is measured without others beside it.
    CaseSupervisor alone{inProcessBounds, hangMilliseconds, 1};
};

} // namespace

TEST_F(RegressionCorpus, PicturesEndCleanly)
{
    supervisor.expectAllKept(pictureCorpus);
}

TEST_F(RegressionCorpus, SettingsEndCleanlyAndInTime)
{
    alone.expectAllKept(settingsCorpus);
}
