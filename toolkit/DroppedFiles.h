#pragma once
#include <windows.h>
#include <shellapi.h>
#include "foundation/wstringArray.h"

// The path of a drop's file in full, however long; empty beyond the last file.
wstring droppedFile(HDROP drop, UINT index);

// The files of a drop that a window got with WM_DROPFILES. The object owns the drop: it finishes it
// (DragFinish) when it goes.
class DroppedFiles {
public:
    explicit DroppedFiles(HDROP drop) : drop(drop) {}
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;
    ~DroppedFiles();

    // Every dropped path in full, in the order of the drop; the array is cleared first.
    void paths(wstringArray& paths) const;

private:
    HDROP drop;
};
