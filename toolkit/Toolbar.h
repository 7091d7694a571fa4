#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t ToolbarClassName[] = L"ToolbarWindow32";

// The main window's row of command buttons, drawn flat over the rebar behind it.
class Toolbar : public ClassControl<ToolbarClassName> {
public:
    // A toolbar without buttons or bitmaps at the system's place; rect and exStyle are not used.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;

    void setImageList(HIMAGELIST images) { sendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)); }
    void setDisabledImageList(HIMAGELIST images)
    {
        sendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    }
    // The index of the first image added.
    int addBitmap(const TBADDBITMAP& bitmap)
    {
        return static_cast<int>(sendMessage(TB_ADDBITMAP, 9, reinterpret_cast<LPARAM>(&bitmap)));
    }
    bool addButtons(int count, const TBBUTTON* buttons)
    {
        return sendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)) != 0;
    }
};
