#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// Joins the pictures into the output file. The job's run is defined in JoinThreadImpl.cpp.
class JoinThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1314;

    using OutputFileJob::OutputFileJob;

    int run(ProgressDialog& dialog) override;
};
