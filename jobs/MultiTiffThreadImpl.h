#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// A multi-frame TIFF file of the pictures, one page each. The file takes the output's name only when every
// page is in it: after a stop or an error the output is as it was before. A stop before the first page is
// reported as the failure (E0016) it leaves.
class MultiTiffThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1315;

    using OutputFileJob::OutputFileJob;

    // 0 when the file was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;
};
