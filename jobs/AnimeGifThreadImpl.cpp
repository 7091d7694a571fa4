#include "jobs/AnimeGifThreadImpl.h"
#include "imaging/AnimeGifFileGenerator.h"
#include "imaging/BitmapPtr.h"
#include "jobs/FrameFileJob.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/jobPictureLoading.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

// The transparent colour of the whole animation, as the settings choose it.
int transparencyOf(const AppSetting& setting)
{
    if (!setting.fileAnimeGifAssignTransparent)
        return AnimeGifFileGenerator::NoTransparency;
    return setting.fileAnimeGifAssignTransparentColor ? AnimeGifFileGenerator::GivenColor
                                                      : AnimeGifFileGenerator::TopLeftColor;
}

class GifFrames : public FrameFileWriter {
public:
    GifFrames(const wstring& outputFile, const AppSetting& setting) : outputFile(outputFile), setting(setting) {}

    void load(const wstring& path) override { picture = loadJobBitmap(path, Messages::E0020); }
    void write(int index) override
    {
        bool written = false;
        if (index == 0) {
            gif.delay = setting.fileAnimeGifElapse;
            written = gif.open(outputFile.buffer(), picture.get(), transparencyOf(setting),
                               setting.fileAnimeGifTransparentColor);
        } else {
            written = gif.addFrame(picture.get());
        }
        picture.reset();
        if (!written)
            throwJobFailure(Messages::E0020, gif.fileError(), outputFile);
    }
    void finish(bool stopped) override
    {
        if (!gif.close(!stopped) && !stopped)
            throwJobFailure(Messages::E0020, gif.fileError(), outputFile);
    }

private:
    const wstring& outputFile;
    const AppSetting& setting;
    BitmapPtr picture;
    AnimeGifFileGenerator gif;
};

} // namespace

int AnimeGifThreadImpl::run(ProgressDialog& dialog)
{
    GifFrames frames(outputFile, getAppSetting());
    return writeFrameFile(dialog,
                          {LogMessages::M601, LogMessages::M602, LogMessages::M603, LogMessages::M604, Messages::E0020},
                          outputFile, files, frames);
}
