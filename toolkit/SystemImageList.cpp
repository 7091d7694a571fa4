#include "toolkit/SystemImageList.h"
#include <shlobj.h>
#include "foundation/Exception.h"

SystemImageList::SystemImageList()
{
    wchar_t desktop[MAX_PATH];
    Exception::check(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop));
    SHFILEINFOW info{};
    list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(desktop, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!list)
        Exception::check(E_FAIL);
}

int SystemImageList::iconIndex(const wchar_t* path) const
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | (largeIcons ? 0 : SHGFI_SMALLICON);
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), flags))
        Exception::check(E_FAIL);
    return info.iIcon;
}

UINT shellOverlayState(SFGAOF attributes, UINT& mask)
{
    UINT state = 0;
    mask = 0;
    if (attributes & SFGAO_LINK)
        state = INDEXTOOVERLAYMASK(2);
    if (attributes & SFGAO_SHARE)
        state = INDEXTOOVERLAYMASK(1);
    if (state)
        mask = LVIS_OVERLAYMASK;
    if (attributes & SFGAO_GHOSTED) {
        state = LVIS_CUT;
        mask = LVIS_CUT;
    }
    return state;
}
