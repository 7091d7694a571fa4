#include "toolkit/FileDropHandler.h"
#include <shellapi.h>
#include "foundation/Exception.h"
#include "foundation/wstring.h"

namespace {

FORMATETC fileDropFormat()
{
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offersFiles(IDataObject* data)
{
    FORMATETC format = fileDropFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

// The first file of the drop in full, however long its path; empty when the drop holds none.
wstring firstDroppedFile(HDROP drop)
{
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0)
        return wstring();
    wstring path;
    wchar_t* buffer = path.reserve(static_cast<int>(length) + 1);
    DragQueryFileW(drop, 0, buffer, length + 1);
    return path;
}

} // namespace

void FileDropHandler::hitTest(DWORD, POINTL point, DWORD* effect)
{
    if (!offersFiles(heldData()) || !target)
        return;
    POINT client{point.x, point.y};
    RECT area;
    if (!ScreenToClient(target, &client) || !GetClientRect(target, &area))
        return;
    if (PtInRect(&area, client))
        *effect = DROPEFFECT_COPY;
}

void FileDropHandler::drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!offersFiles(data))
        return;
    FORMATETC format = fileDropFormat();
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return;
    // The callbacks of a drop target must not throw: a path that cannot be read changes nothing.
    try {
        wstring path = firstDroppedFile(static_cast<HDROP>(medium.hGlobal));
        SetWindowTextW(target, path.buffer());
        *effect = DROPEFFECT_COPY;
    } catch (const Exception&) {
    }
    ReleaseStgMedium(&medium);
}
