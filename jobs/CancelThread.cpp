#include "jobs/CancelThread.h"
#include <objbase.h>
#include <exception>
#include <new>
#include "foundation/Application.h"
#include "foundation/astring.h"
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"
#include "settings/Messages.h"

namespace {

void showError(HWND owner, const Exception& exception)
{
    if (Application* application = getApplication())
        application->showException(owner, exception);
}

} // namespace

DWORD CancelThread::Run(void*)
{
    if (FAILED(CoInitialize(nullptr))) {
        if (Application* application = getApplication())
            application->warn(dialog->getHandle(), Messages::E0021.get());
        finish(CancelThreadOperation::Failed);
        return 0;
    }
    finish(runJob());
    CoUninitialize();
    return 0;
}

int CancelThread::runJob()
{
    // The dialog closes only on the job's result: whatever the job lets escape is shown here and ends it as
    // an error, so that the dialog never waits for a job that died.
    HWND owner = dialog->getHandle();
    try {
        return operation.run(*dialog);
    } catch (const Exception& exception) {
        showError(owner, exception);
    } catch (const std::bad_alloc&) {
        showError(owner, Exception(ErrorCode::NoMemory));
    } catch (const std::exception& exception) {
        showError(owner, ApplicationException(wstring(astring(exception.what())).buffer()));
    } catch (...) {
        showError(owner, Exception(static_cast<int>(E_UNEXPECTED)));
    }
    return CancelThreadOperation::Failed;
}

void CancelThread::finish(int result)
{
    if (HWND window = dialog->getHandle())
        PostMessageW(window, WM_JOB_FINISHED, static_cast<WPARAM>(result), 0);
}
