#include "jobs/JoinThreadImpl.h"
#include <memory>
#include "foundation/ObjectArray.h"
#include "foundation/Path.h"
#include "imaging/Dib.h"
#include "imaging/dibTiling.h"
#include "jobs/JobReport.h"
#include "jobs/JoinExtent.h"
#include "jobs/LogMessages.h"
#include "jobs/jobPictureLoading.h"
#include "jobs/jobPngOutput.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

int JoinThreadImpl::run(ProgressDialog& dialog)
{
    const AppSetting& setting = getAppSetting();
    JobReport report(dialog);
    return report.runReportingErrors([&] {
        report.start(LogMessages::M301);
        report.count(LogMessages::M303, files.count());
        checkReplaceable(outputFile);
        ObjectArray<Dib> pictures;
        JoinExtent extent(setting.fileJoinVert, setting.fileJoinMaxWidth);
        bool stopped = false;
        for (int i = 0; i < files.count(); ++i) {
            if (dialog.isCancelled()) {
                stopped = true;
                break;
            }
            auto picture = std::make_unique<Dib>();
            loadJobDib(files.at(i), *picture, Messages::E0014);
            report.done(Path(files.at(i)).getPath());
            // Before the picture is kept: a joined picture that would grow too large fails here.
            extent.add(picture->width(), picture->height());
            if (!pictures.add(picture.release()))
                throwJobFailure(Messages::E0014);
        }
        if (!stopped) {
            Dib joined;
            if (!joinDibs(pictures, joined, setting.fileJoinVert, setting.fileJoinBackColor))
                throwJobFailure(Messages::E0014);
            stopped = dialog.isCancelled();
            if (!stopped)
                writeDibAsPng(joined, outputFile);
        }
        report.end(stopped, LogMessages::M302, LogMessages::M304, outputOrNone(stopped, outputFile));
        return stopped ? Cancelled : 0;
    });
}
