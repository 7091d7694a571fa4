#include "toolkit/Statusbar.h"

void Statusbar::create(HWND parent, int id, const Rect&, DWORD, DWORD style)
{
    prepareCreate(parent);
    bindCreated(CreateStatusWindowW(static_cast<LONG>(style | WS_CHILD | WS_VISIBLE), L"", parent,
                                    static_cast<UINT>(id)));
}

void Statusbar::showMenuHelp(UINT item, UINT flags, HMENU menu, HMENU mainMenu, HMODULE strings)
{
    UINT noPopupHelp[2] = {0, 0};
    MenuHelp(WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu), mainMenu, strings, liveHandle(),
             noPopupHelp);
}
