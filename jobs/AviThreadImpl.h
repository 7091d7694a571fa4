#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// An AVI movie of the pictures, one key frame each, at File/AviFPS frames per second. The file takes the
// output's name only when every frame is in it: after a stop or an error the output is as it was before.
class AviThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1317;

    using OutputFileJob::OutputFileJob;

    // 0 when the file was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;
};
