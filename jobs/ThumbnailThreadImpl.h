#pragma once
#include "jobs/CancelThreadOperation.h"
#include "jobs/ProgressDialog.h"

class MessageWriter;

// A thumbnail sheet of the files (File/ThumbnailType and its settings): an HTML page with a small image of each
// picture linked to it, written at the sheet's path. With a thumbnail folder the page shows JPEG thumbnails made
// into that folder, which it makes when missing, without one the pictures themselves. A sheet that is stopped or
// fails before its page is complete leaves the page and the thumbnails that were there before as they were, and
// no folder that it made. The thumbnails take their names once the page is complete, before the page takes the
// sheet's: a complete page that then cannot take it leaves the new thumbnails, and the folder holding them.
class ThumbnailThreadImpl : public CancelThreadOperation {
public:
    using Progress = DlgCancelSimple;
    static constexpr UINT DialogTemplate = 1312;

    // An empty thumbnail folder makes no thumbnail files.
    ThumbnailThreadImpl(const wstring& thumbnailFolder, const wstring& sheetPath, const wstringArray& files)
        : thumbnailFolder(thumbnailFolder), sheetPath(sheetPath)
    {
        this->files.addAll(files);
    }

    // 1 when the sheet was written, Cancelled, or Failed after an error it has shown.
    int run(ProgressDialog& dialog) override;

private:
    int makeSheet(ProgressDialog& dialog, MessageWriter& log);

    const wstring thumbnailFolder;
    const wstring sheetPath;
    wstringArray files;
};
