#pragma once
#include "foundation/SafeThread.h"

class CancelThreadOperation;
class ProgressDialog;

// The worker thread of a batch job: initialises COM for itself, runs the job and posts the job's result
// (WM_JOB_FINISHED) to the progress dialog, whatever happened in between.
class CancelThread : public SafeThread {
public:
    explicit CancelThread(CancelThreadOperation& operation) : operation(operation) {}
    ~CancelThread() override { stopThread(); }

    // The dialog the job reports to; set before the thread starts.
    void setDialog(ProgressDialog* progressDialog) { dialog = progressDialog; }

protected:
    DWORD Run(void* argument) override;

private:
    int runJob();
    void finish(int result);

    ProgressDialog* dialog = nullptr;
    CancelThreadOperation& operation;
};
