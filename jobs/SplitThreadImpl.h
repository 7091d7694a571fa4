#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// Cuts one picture into tiles of File/SplitWidth x File/SplitHeight, in reading order, written as PNG files
// <folder>\<source name>_0.png, _1.png ... into the output folder; edge tiles are filled out with
// File/SplitBackColor. An existing tile is replaced only when the user agrees (W0001); a No stops the job. Tiles
// written before a stop or an error stay.
class SplitThreadImpl : public CancelThreadOperation {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1313;

    SplitThreadImpl(const wstring& outputFolder, const wstring& sourceFile)
        : outputFolder(outputFolder), sourceFile(sourceFile)
    {
    }

    // The number of tiles written, Cancelled (also for a No), or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;

private:
    const wstring outputFolder;
    const wstring sourceFile;
};
