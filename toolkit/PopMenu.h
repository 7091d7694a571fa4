#pragma once
#include <windows.h>
#include "foundation/Point.h"

// Owner of one pop-up (context) menu; null when none is held. Menu operations report failure by their result.
class PopMenu {
public:
    // The menu resource whose first pop-up is the context menu.
    static constexpr UINT ContextMenuId = 4032;

    PopMenu() = default;
    PopMenu(const PopMenu&) = delete;
    PopMenu& operator=(const PopMenu&) = delete;
    ~PopMenu() { release(); }

    HMENU handle() const { return menu; }
    // Destroys the menu held; the result of that, FALSE when none was held.
    BOOL release();

    // An empty menu in place of the one held.
    HMENU createPopup();
    // The first pop-up of the module's menu resource in place of the one held; null when the resource is
    // missing or its first item is no pop-up.
    HMENU loadContextMenu(HMODULE module, UINT menuId = ContextMenuId);

    bool insertItem(UINT position, UINT commandId, const wchar_t* text);
    // At the top; the menu takes the submenu over and destroys it with itself.
    bool insertSubMenu(HMENU subMenu, const wchar_t* text);
    // At the top.
    bool insertSeparator();
    bool setItemBitmap(UINT position, HBITMAP bitmap);
    bool enableItem(UINT item, bool enable, bool byPosition);

    // Shows the menu for a WM_CONTEXTMENU of the window (its lParam): at the mouse point when that lies in the
    // window's client area, at the client area's top-left corner when the keyboard asked. The command chosen
    // arrives at the window as WM_COMMAND. False when no menu was shown.
    bool track(LPARAM contextMenuPoint, HWND window);
    // The same for the point and the keyboard flag that a context-menu handler gets.
    bool track(const Point& screen, bool keyboard, HWND window);

    // Where track shows the menu, in screen coordinates; false when it shows none.
    static bool trackPoint(LPARAM contextMenuPoint, HWND window, POINT& screenPoint);
    static bool trackPoint(const Point& screen, bool keyboard, HWND window, POINT& screenPoint);
    // Whether a WM_CONTEXTMENU came from the keyboard: -1 in both words, however the lParam was widened.
    static bool fromKeyboard(LPARAM contextMenuPoint);

private:
    HMENU menu = nullptr;
};
