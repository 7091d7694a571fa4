#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// An animated GIF file of the pictures, one frame each, File/AnimeGifElapse hundredths of a second apart, with
// the transparency the File/AnimeGif* settings choose. The file takes the output's name only when every frame is
// in it: after a stop or an error the output is as it was before.
class AnimeGifThreadImpl : public OutputFileJob {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1316;

    using OutputFileJob::OutputFileJob;

    // 0 when the file was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;
};
