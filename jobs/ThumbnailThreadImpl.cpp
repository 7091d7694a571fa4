#include "jobs/ThumbnailThreadImpl.h"
#include <memory>
#include "foundation/MadeFolders.h"
#include "imaging/ComStream.h"
#include "imaging/TemporaryOutputFile.h"
#include "jobs/JobReport.h"
#include "jobs/LogMessages.h"
#include "jobs/ThumbNailJobObserver.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

int ThumbnailThreadImpl::run(ProgressDialog& dialog)
{
    JobReport report(dialog);
    return report.runReportingErrors([&] {
        report.start(LogMessages::M101);
        int result = makeSheet(dialog, report.log);
        bool stopped = result == Cancelled;
        report.end(stopped, LogMessages::M102, LogMessages::M104, outputOrNone(stopped, sheetPath));
        return result;
    });
}

int ThumbnailThreadImpl::makeSheet(ProgressDialog& dialog, MessageWriter& log)
{
    const AppSetting& setting = getAppSetting();
    Canceller canceller(dialog);
    thumbnailmaker::ThumbNailJobObserver observer(&canceller, &log);
    std::unique_ptr<thumbnailmaker::IThumbNailMaker> maker(
        thumbnailmaker::createThumbNailMaker(setting.fileThumbnailType, setting.fileThumbnailCols, &observer));
    for (int i = 0; i < files.count(); ++i) {
        if (!maker->addFile(files.at(i)))
            Exception::throwLastError();
    }
    if (dialog.isCancelled())
        return Cancelled;
    checkReplaceable(sheetPath, Messages::E0012);
    MadeFolders folders;
    if (!thumbnailFolder.isEmpty())
        folders.create(thumbnailFolder);
    // The page is written beside the sheet and takes its name only when it is complete: a stop or an error
    // leaves the sheet that was there before.
    TemporaryOutputFile sheet;
    IStream* file = sheet.create(sheetPath.buffer()) ? sheet.stream() : nullptr;
    if (!file)
        throwJobFailure(Messages::E0012, GetLastError(), sheetPath);
    {
        OutputComStream page;
        page.attach(file);
        if (!maker->make(dialog.getHandle(), setting.fileThumbnailCharset, setting.fileThumbnailTitle, &page,
                         thumbnailFolder))
            return Cancelled;
    }
    if (!sheet.commit())
        throwJobFailure(Messages::E0012, GetLastError(), sheetPath);
    folders.keep();
    return 1;
}
