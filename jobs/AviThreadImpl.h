#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// An AVI movie of the pictures, one frame each. The job's run is defined in AviThreadImpl.cpp.
class AviThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1317;

    using OutputFileJob::OutputFileJob;

    int run(ProgressDialog& dialog) override;
};
