#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

// Thumbnail sheets of the files, written into the output folder under the output name. The job's run is defined in ThumbnailThreadImpl.cpp.
class ThumbnailThreadImpl : public CancelThreadOperation {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1312;

    ThumbnailThreadImpl(const wstring& outputFolder, const wstring& outputName, const wstringArray& files)
        : outputFolder(outputFolder), outputName(outputName)
    {
        this->files.addAll(files);
    }

    int run(ProgressDialog& dialog) override;

private:
    const wstring outputFolder;
    const wstring outputName;
    wstringArray files;
};
