#include "toolkit/Toolbar.h"

void Toolbar::create(HWND parent, int id, const Rect&, DWORD, DWORD style)
{
    prepareCreate(parent);
    // The button record's size is this build's: a 32-bit size would make the control step through a 64-bit
    // button array at the wrong stride.
    bindCreated(CreateToolbarEx(parent, style | WS_CHILD | WS_VISIBLE, static_cast<UINT>(id), 0, nullptr, 0,
                                nullptr, 0, 0, 0, 0, 0, sizeof(TBBUTTON)));
    modifyStyle(0, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
}
