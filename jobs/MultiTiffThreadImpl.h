#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// A multi-frame TIFF file of the pictures, one page each. The job's run is defined in MultiTiffThreadImpl.cpp.
class MultiTiffThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1315;

    using OutputFileJob::OutputFileJob;

    int run(ProgressDialog& dialog) override;
};
