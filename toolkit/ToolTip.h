#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t ToolTipClassName[] = TOOLTIPS_CLASSW;

// Tips shown over other windows. Unlike the other controls the tip window is a pop-up of its own.
class ToolTip : public ClassControl<ToolTipClassName> {
public:
    // At the system's default place and size; id, rect and exStyle are not used.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    HWND create(HWND parent, DWORD style);

    // Shows the text over the tool window; the tip follows the mouse over it by itself.
    bool addTool(HWND tool, HMODULE module, const wchar_t* text);
    // Shows the text over the rectangle of the owner's client area; the owner passes its mouse messages on
    // (a toolbar does so for its tips).
    bool addRectTool(HWND owner, UINT_PTR id, const RECT& area, HMODULE module, const wchar_t* text);
    void removeTool(HWND tool);
    // Long tips wrap at 400 pixels.
    void setMaxTipWidth() { sendMessage(TTM_SETMAXTIPWIDTH, 0, 400); }
};
