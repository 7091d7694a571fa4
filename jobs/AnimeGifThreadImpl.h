#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// An animated GIF file of the pictures, one frame each. The job's run is defined in AnimeGifThreadImpl.cpp.
class AnimeGifThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1316;

    using OutputFileJob::OutputFileJob;

    int run(ProgressDialog& dialog) override;
};
