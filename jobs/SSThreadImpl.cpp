#include "jobs/SSThreadImpl.h"
#include "foundation/Application.h"
#include "jobs/JobLog.h"
#include "jobs/ScreenSaverBuilder.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

int SSThreadImpl::run(ProgressDialog& dialog)
{
    Canceller canceller(dialog);
    JobLog log;
    try {
        ScreenSaverBuilder builder(getAppSetting().fileSSMaxImageSize, &log, &canceller);
        return builder.build(outputFile, files);
    } catch (const Exception& exception) {
        // The builder has written the error's line into the log.
        if (Application* application = getApplication())
            application->showException(dialog.getHandle(), exception);
        return Failed;
    }
}
