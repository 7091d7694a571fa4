#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t ToolbarClassName[] = L"ToolbarWindow32";

// The main window's row of command buttons, drawn flat over the rebar behind it.
class Toolbar : public ClassControl<ToolbarClassName> {
public:
    // A toolbar without buttons or bitmaps at the system's place; rect and exStyle are not used.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;

    // Each returns the list it replaced.
    HIMAGELIST setImageList(HIMAGELIST images) { return replaceImageList(TB_SETIMAGELIST, images); }
    HIMAGELIST setDisabledImageList(HIMAGELIST images) { return replaceImageList(TB_SETDISABLEDIMAGELIST, images); }
    // The size of the pictures of bitmaps added later.
    bool setBitmapSize(int width, int height)
    {
        return sendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height)) != 0;
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
    void autoSize() { sendMessage(TB_AUTOSIZE); }
    int buttonHeight() const { return HIWORD(sendMessage(TB_GETBUTTONSIZE)); }
    // The button's place in the toolbar's client area, by its index.
    bool getItemRect(int index, RECT& area) const
    {
        return sendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&area)) != 0;
    }
    void setToolTips(HWND tips) { sendMessage(TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tips)); }
    // By the button's command id.
    bool enableButton(int command, bool enabled)
    {
        return sendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled, 0)) != 0;
    }
    bool checkButton(int command, bool checked)
    {
        return sendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(command), MAKELPARAM(checked, 0)) != 0;
    }

private:
    HIMAGELIST replaceImageList(UINT message, HIMAGELIST images)
    {
        return reinterpret_cast<HIMAGELIST>(sendMessage(message, 0, reinterpret_cast<LPARAM>(images)));
    }
};
