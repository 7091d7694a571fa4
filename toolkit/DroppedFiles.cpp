#include "toolkit/DroppedFiles.h"

DroppedFiles::~DroppedFiles()
{
    if (drop)
        DragFinish(drop);
}

void DroppedFiles::paths(wstringArray& paths) const
{
    paths.removeAll();
    UINT count = drop ? DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    for (UINT i = 0; i < count; ++i) {
        wstring path = droppedFile(drop, i);
        if (!path.isEmpty())
            paths.add(path);
    }
}

wstring droppedFile(HDROP drop, UINT index)
{
    UINT length = DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0)
        return wstring();
    wstring path;
    wchar_t* buffer = path.reserve(static_cast<int>(length) + 1);
    DragQueryFileW(drop, index, buffer, length + 1);
    return path;
}
