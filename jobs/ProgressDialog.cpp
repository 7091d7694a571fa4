#include "jobs/ProgressDialog.h"

namespace {

constexpr LRESULT Handled = 1;

wstring decimal(WPARAM value)
{
    wstring text;
    text.setInt(static_cast<int>(value));
    return text;
}

} // namespace

ProgressDialog::ProgressDialog(CancelThreadOperation& job) : thread(job)
{
}

ProgressDialog::~ProgressDialog()
{
    thread.join(true);
}

bool ProgressDialog::onInitDialog(HWND)
{
    thread.setDialog(this);
    if (!thread.start(nullptr))
        endDialog(-1);
    return true;
}

bool ProgressDialog::onDestroy()
{
    // The worker has posted its result by now; it only has to leave.
    thread.join(true);
    return true;
}

LRESULT ProgressDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_JOB_FINISHED)
        return AppDialog::handleMessage(window, message, wParam, lParam);
    endDialog(static_cast<int>(wParam) < 0 ? IDCANCEL : IDOK);
    return Handled;
}

void ProgressDialog::onCommand(HWND, int id, int)
{
    if (id != IDCANCEL)
        return;
    // The job sees the flag at its next item or step; the dialog closes when the job has ended.
    CriticalSectionLock lock(cancelLock);
    cancelFlag = true;
}

bool ProgressDialog::isCancelled()
{
    CriticalSectionLock lock(cancelLock);
    return cancelFlag;
}

void ProgressDialog::progress(int, int)
{
}

bool DlgCancel::onInitDialog(HWND focus)
{
    try {
        count.attach(getDlgItem(CountId));
    } catch (const Exception&) {
        // A dialog without its count is no place for the job: it ends before the job starts.
        destroy();
        return true;
    }
    return ProgressDialog::onInitDialog(focus);
}

bool DlgCancel::onDestroy()
{
    count.attach(nullptr);
    return ProgressDialog::onDestroy();
}

LRESULT DlgCancel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_JOB_PROGRESS)
        return ProgressDialog::handleMessage(window, message, wParam, lParam);
    count.setText(L"( " + decimal(wParam) + L" / " + decimal(static_cast<WPARAM>(lParam)) + L" )");
    return Handled;
}

void DlgCancel::progress(int done, int total)
{
    // A report after the dialog's window has gone has nobody to tell.
    try {
        sendMessage(WM_JOB_PROGRESS, static_cast<WPARAM>(done), static_cast<LPARAM>(total));
    } catch (const Exception&) {
    }
}
