#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// Joins the pictures side by side (stacked with File/JoinVert) on File/JoinBackColor into one PNG file. A joined
// picture wider or higher than File/JoinMaxWidth fails with E0015 before anything is written.
class JoinThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1314;

    using OutputFileJob::OutputFileJob;

    // 0 when the file was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;
};
