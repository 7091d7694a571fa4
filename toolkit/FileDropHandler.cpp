#include "toolkit/FileDropHandler.h"
#include <shellapi.h>
#include "foundation/Exception.h"
#include "foundation/wstring.h"
#include "toolkit/DroppedFiles.h"

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
        wstring path = droppedFile(static_cast<HDROP>(medium.hGlobal), 0);
        SetWindowTextW(target, path.buffer());
        *effect = DROPEFFECT_COPY;
    } catch (const Exception&) {
    }
    ReleaseStgMedium(&medium);
}
