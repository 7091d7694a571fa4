#include "toolkit/ToolTip.h"
#include "foundation/StartUp.h"

namespace {

TOOLINFOW toolRecord(HWND tool, UINT flags)
{
    TOOLINFOW info{};
    // The record size of the running common controls, chosen once at start-up.
    info.cbSize = static_cast<UINT>(StartUp::getToolTipRecordSize());
    info.uFlags = flags;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return info;
}

} // namespace

void ToolTip::create(HWND parent, int, const Rect&, DWORD, DWORD style)
{
    createControl(ToolTipClassName, parent, 0, Rect(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT),
                  0, style, false);
}

HWND ToolTip::create(HWND parent, DWORD style)
{
    create(parent, 0, Rect(), 0, style);
    return hwnd;
}

bool ToolTip::addTool(HWND tool, HMODULE module, const wchar_t* text)
{
    TOOLINFOW info = toolRecord(tool, TTF_IDISHWND | TTF_SUBCLASS);
    info.hinst = module;
    info.lpszText = const_cast<wchar_t*>(text);
    return sendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool ToolTip::addRectTool(HWND owner, UINT_PTR id, const RECT& area, HMODULE module, const wchar_t* text)
{
    TOOLINFOW info{};
    info.cbSize = static_cast<UINT>(StartUp::getToolTipRecordSize());
    info.hwnd = owner;
    info.uId = id;
    info.rect = area;
    info.hinst = module;
    info.lpszText = const_cast<wchar_t*>(text);
    return sendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void ToolTip::removeTool(HWND tool)
{
    TOOLINFOW info = toolRecord(tool, TTF_IDISHWND);
    sendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}
