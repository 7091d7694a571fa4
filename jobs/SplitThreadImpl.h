#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// Splits one picture into tiles written into the output folder. The job's run is defined in SplitThreadImpl.cpp.
class SplitThreadImpl : public CancelThreadOperation {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1313;

    SplitThreadImpl(const wstring& outputFolder, const wstring& sourceFile)
        : outputFolder(outputFolder), sourceFile(sourceFile)
    {
    }

    int run(ProgressDialog& dialog) override;

private:
    const wstring outputFolder;
    const wstring sourceFile;
};
