#include "toolkit/Statusbar.h"

void Statusbar::create(HWND parent, int id, const Rect&, DWORD, DWORD style)
{
    prepareCreate(parent);
    bindCreated(CreateStatusWindowW(static_cast<LONG>(style | WS_CHILD | WS_VISIBLE), L"", parent,
                                    static_cast<UINT>(id)));
}
