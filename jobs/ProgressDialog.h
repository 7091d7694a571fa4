#pragma once
#include "foundation/CriticalSection.h"
#include "jobs/CancelThread.h"
#include "jobs/CancelThreadOperation.h"
#include "imaging/ICanceller.h"
#include "toolkit/Dialog.h"
#include "toolkit/Static.h"
#include "toolkit/WaitCursor.h"

// Sent by the job's worker: wParam items done, lParam items in all.
constexpr UINT WM_JOB_PROGRESS = WM_APP + 1;
// Posted by the worker when the job has ended: wParam the job's result.
constexpr UINT WM_JOB_FINISHED = WM_APP + 10;

// The modal dialog under which a batch job runs. Showing it starts the job on its worker thread; its Cancel
// button (also Esc and the close box) only asks the job to stop, and the dialog closes when the job has
// ended: IDOK for a count, IDCANCEL for a cancel or an error. Its cancel flag is the only state the two
// threads share, always under the dialog's lock.
class ProgressDialog : public AppDialog {
public:
    explicit ProgressDialog(CancelThreadOperation& job);
    ~ProgressDialog() override;

    // Starts the job; a job that cannot start ends the dialog with -1.
    bool onInitDialog(HWND focus) override;
    bool onDestroy() override;
    // WM_JOB_FINISHED ends the dialog.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(HWND hwnd, int id, int code) override;

    // ---- for the job, on its worker thread ----

    // True once the user has pressed Cancel; it stays so.
    bool isCancelled();
    // Shows the counts where the dialog has them; nothing once the dialog is gone.
    virtual void progress(int done, int total);

private:
    // Declared before the thread, which therefore ends before the lock goes.
    CriticalSection cancelLock;
    bool cancelFlag = false;
    CancelThread thread;
};

// The progress dialog of every job but convert and save: the job's text and Cancel.
class DlgCancelSimple : public ProgressDialog {
public:
    using ProgressDialog::ProgressDialog;
};

// The progress dialog of convert and save: also the count of pictures done and in all, "( d / t )" in
// control 1035.
class DlgCancel : public ProgressDialog {
public:
    static constexpr int CountId = 1035;

    using ProgressDialog::ProgressDialog;

    bool onInitDialog(HWND focus) override;
    bool onDestroy() override;
    // WM_JOB_PROGRESS shows the counts.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Returns when the dialog shows the counts.
    void progress(int done, int total) override;

private:
    Static count;
};

// What long image operations of a job ask: the Cancel button of the job's dialog.
class Canceller : public ICanceller {
public:
    explicit Canceller(ProgressDialog& dialog) : dialog(dialog) {}
    bool isCancelled() override { return dialog.isCancelled(); }

private:
    ProgressDialog& dialog;
};

// Runs the job under its progress dialog (Job::Progress, template Job::DialogTemplate of the program),
// modally over the parent, with the wait cursor; returns IDOK or IDCANCEL. Exception 1400 when the dialog
// cannot be shown or the worker cannot start, 1 (or 87) when no settings record is lent for the dialog's
// faces.
template <typename Job>
INT_PTR showProgressDialog(Job& job, HWND parent)
{
    typename Job::Progress dialog(job);
    WaitCursor wait;
    return dialog.doModal(nullptr, Job::DialogTemplate, parent, 0);
}
