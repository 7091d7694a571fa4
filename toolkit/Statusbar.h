#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t StatusbarClassName[] = L"msctls_statusbar32";

// The main window's status line of two parts.
class Statusbar : public ClassControl<StatusbarClassName> {
public:
    // An empty status line along the parent's bottom edge; rect and exStyle are not used.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;

    // The right edges of the two parts; -1 reaches the window's right edge.
    bool setParts(const int (&rightEdges)[2])
    {
        return sendMessage(SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rightEdges)) != 0;
    }
    // The part index combined with the drawing flags (SBT_*).
    bool setText(int partAndFlags, const wchar_t* text)
    {
        return sendMessage(SB_SETTEXTW, static_cast<WPARAM>(partAndFlags), reinterpret_cast<LPARAM>(text)) != 0;
    }
    // The part's text without its drawing flags.
    wstring partText(int part) const;
    // The help of the menu item that onMenuSelect got, in place of the parts: the string of the module whose
    // id is the item's command id; nothing for items that open a pop-up. The parts come back when the menu
    // closes. mainMenu: the window's menu bar.
    void showMenuHelp(UINT item, UINT flags, HMENU menu, HMENU mainMenu, HMODULE strings);
};
