#include "jobs/AviThreadImpl.h"
#include <memory>
#include "imaging/AviFileGenerator.h"
#include "imaging/Dib.h"
#include "jobs/FrameFileJob.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/jobPictureLoading.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

namespace {

class AviFrames : public FrameFileWriter {
public:
    AviFrames(const wstring& outputFile, int rate, int count) : outputFile(outputFile), rate(rate), count(count) {}

    void load(const wstring& path) override
    {
        picture = std::make_unique<Dib>();
        loadJobDib(path, *picture, Messages::E0017);
    }
    void write(int index) override
    {
        // The writer finishes the file by itself with the last of the announced frames.
        try {
            if (index == 0)
                avi.open(outputFile, *picture, rate, count, wstring());
            else
                avi.addFrame(*picture);
        } catch (const Exception&) {
            throwJobFailure(Messages::E0017, avi.fileError(), outputFile);
        }
        picture.reset();
    }
    void finish(bool stopped) override
    {
        if (stopped)
            avi.close();
        else if (count == 0)
            // Nothing was written: a video of no frames is no success to report.
            throwJobFailure(Messages::E0017);
    }

private:
    const wstring& outputFile;
    const int rate;
    const int count;
    std::unique_ptr<Dib> picture;
    AviFileGenerator avi;
};

} // namespace

int AviThreadImpl::run(ProgressDialog& dialog)
{
    AviFrames frames(outputFile, getAppSetting().fileAviFPS, files.count());
    return writeFrameFile(dialog,
                          {LogMessages::M501, LogMessages::M502, LogMessages::M503, LogMessages::M504, Messages::E0017},
                          outputFile, files, frames);
}
