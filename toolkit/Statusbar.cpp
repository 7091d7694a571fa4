#include "toolkit/Statusbar.h"
#include <memory>

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

wstring Statusbar::partText(int part) const
{
    int length = LOWORD(sendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(part)));
    std::unique_ptr<wchar_t[]> text(new wchar_t[length + 1]());
    sendMessage(SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.get()));
    return wstring(text.get());
}
