#include "jobs/MultiTiffThreadImpl.h"
#include "imaging/BitmapPtr.h"
#include "imaging/MultiFrameTiffFileGenerator.h"
#include "jobs/FrameFileJob.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/jobPictureLoading.h"
#include "settings/Messages.h"

namespace {

class TiffPages : public FrameFileWriter {
public:
    explicit TiffPages(const wstring& outputFile) : outputFile(outputFile) {}

    void load(const wstring& path) override { picture = loadJobBitmap(path, Messages::E0016); }
    void write(int index) override
    {
        bool written = index == 0 ? tiff.open(outputFile.buffer(), picture.get()) : tiff.addFrame(picture.get());
        picture.reset();
        if (!written)
            throwJobFailure(Messages::E0016, tiff.fileError(), outputFile);
    }
    void finish(bool stopped) override
    {
        // A TIFF without a page cannot be made: an empty list, or a stop before the first picture, is reported
        // as the failure it leaves.
        if (!tiff.isOpen())
            throwJobFailure(Messages::E0016);
        if (!tiff.close(!stopped) && !stopped)
            throwJobFailure(Messages::E0016, tiff.fileError(), outputFile);
    }

private:
    const wstring& outputFile;
    BitmapPtr picture;
    MultiFrameTiffFileGenerator tiff;
};

} // namespace

int MultiTiffThreadImpl::run(ProgressDialog& dialog)
{
    TiffPages pages(outputFile);
    return writeFrameFile(dialog,
                          {LogMessages::M401, LogMessages::M402, LogMessages::M403, LogMessages::M404, Messages::E0016},
                          outputFile, files, pages);
}
