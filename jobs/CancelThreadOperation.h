#pragma once
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

class ProgressDialog;

// A batch job: the work that runs on a worker thread under a modal progress dialog.
//
// How a job is built and run:
// - Derive from CancelThreadOperation (or OutputFileJob), take the inputs in the constructor (lists are
//   copied: the caller's list may change while the job runs) and implement run in <Job>.cpp. Say which
//   progress dialog shows it: `using Progress = DlgCancelSimple;` and `static constexpr UINT DialogTemplate`.
// - The caller builds the job on its stack and calls showProgressDialog(job, parent) (ProgressDialog.h),
//   which runs the job on a worker thread (CancelThread, with COM initialised) while the dialog offers its
//   Cancel button, and returns IDOK for a count and IDCANCEL for a cancel or an error. The job's results
//   are read from its own members after that.
// - run polls dialog.isCancelled() before every item and returns Cancelled when it is set; long image
//   operations get a Canceller(dialog), which asks the same Cancel button.
// - Message boxes of the run are owned by dialog.getHandle() (Application::messageBox); log lines go to the
//   application's log window through JobLog (JobLog.h), which drops them while there is none.
// - An error the run reports itself (log line with the date and time, then Application::showException owned
//   by the dialog) returns Failed. An exception that escapes run is shown by the worker, which still ends
//   the dialog with Failed, so a dialog never waits for a job that died.
class CancelThreadOperation {
public:
    // The user cancelled, or chose to stop.
    static constexpr int Cancelled = -1;
    // An error ended the job; it has been reported.
    static constexpr int Failed = -2;

    CancelThreadOperation() = default;
    CancelThreadOperation(const CancelThreadOperation&) = delete;
    CancelThreadOperation& operator=(const CancelThreadOperation&) = delete;
    virtual ~CancelThreadOperation() = default;

    // On the worker thread: the number of items handled (0 or more), Cancelled or Failed.
    virtual int run(ProgressDialog& dialog) = 0;
};

// The jobs that make one output file from a list of pictures: join, multi-frame TIFF, animated GIF, AVI and
// screen saver.
class OutputFileJob : public CancelThreadOperation {
public:
    OutputFileJob(const wstring& outputFile, const wstringArray& files) : outputFile(outputFile)
    {
        this->files.addAll(files);
    }

protected:
    const wstring outputFile;
    wstringArray files;
};
