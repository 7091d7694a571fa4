#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// A screen saver that plays the pictures, stored no larger than File/SSMaxImageSize (ScreenSaverBuilder.h). A
// stopped build keeps the saver of its last commit, whose count plays only what that commit held.
class SSThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1318;

    using OutputFileJob::OutputFileJob;

    // 0 when the file was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;
};
