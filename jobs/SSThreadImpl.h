#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// A screen saver that plays the pictures. The job's run is defined in SSThreadImpl.cpp.
class SSThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1318;

    using OutputFileJob::OutputFileJob;

    int run(ProgressDialog& dialog) override;
};
