#include "toolkit/PopMenu.h"
#include "toolkit/Window.h"

namespace {

MENUITEMINFOW itemRecord(UINT mask)
{
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = mask;
    return item;
}

MENUITEMINFOW stringItem(UINT mask, const wchar_t* text)
{
    MENUITEMINFOW item = itemRecord(mask | MIIM_TYPE);
    item.fType = MFT_STRING;
    item.dwTypeData = const_cast<wchar_t*>(text);
    return item;
}

} // namespace

bool PopMenu::fromKeyboard(LPARAM contextMenuPoint)
{
    return static_cast<DWORD>(contextMenuPoint) == 0xFFFFFFFF;
}

BOOL PopMenu::release()
{
    BOOL destroyed = menu ? DestroyMenu(menu) : FALSE;
    menu = nullptr;
    return destroyed;
}

HMENU PopMenu::createPopup()
{
    release();
    menu = CreatePopupMenu();
    return menu;
}

HMENU PopMenu::loadContextMenu(HMODULE module, UINT menuId)
{
    release();
    HMENU bar = LoadMenuW(module, MAKEINTRESOURCEW(menuId));
    if (!bar)
        return nullptr;
    // Taken out of the bar first, so that destroying the bar leaves it alive.
    menu = GetSubMenu(bar, 0);
    if (menu)
        RemoveMenu(bar, 0, MF_BYPOSITION);
    DestroyMenu(bar);
    return menu;
}

bool PopMenu::insertItem(UINT position, UINT commandId, const wchar_t* text)
{
    MENUITEMINFOW item = stringItem(MIIM_ID, text);
    item.wID = commandId;
    return InsertMenuItemW(menu, position, TRUE, &item) != FALSE;
}

bool PopMenu::insertSubMenu(HMENU subMenu, const wchar_t* text)
{
    MENUITEMINFOW item = stringItem(MIIM_SUBMENU, text);
    item.hSubMenu = subMenu;
    return InsertMenuItemW(menu, 0, TRUE, &item) != FALSE;
}

bool PopMenu::insertSeparator()
{
    MENUITEMINFOW item = itemRecord(MIIM_TYPE);
    item.fType = MFT_SEPARATOR;
    return InsertMenuItemW(menu, 0, TRUE, &item) != FALSE;
}

bool PopMenu::setItemBitmap(UINT position, HBITMAP bitmap)
{
    MENUITEMINFOW item = itemRecord(MIIM_BITMAP);
    item.hbmpItem = bitmap;
    return SetMenuItemInfoW(menu, position, TRUE, &item) != FALSE;
}

bool PopMenu::enableItem(UINT itemId, bool enable, bool byPosition)
{
    MENUITEMINFOW item = itemRecord(MIIM_STATE);
    item.fState = enable ? MFS_ENABLED : MFS_DISABLED;
    return SetMenuItemInfoW(menu, itemId, byPosition, &item) != FALSE;
}

bool PopMenu::trackPoint(LPARAM contextMenuPoint, HWND window, POINT& screenPoint)
{
    // A mouse point may lie left of or above the primary screen: its words are signed.
    return trackPoint(pointFromLParam(contextMenuPoint), fromKeyboard(contextMenuPoint), window, screenPoint);
}

bool PopMenu::trackPoint(const Point& screen, bool keyboard, HWND window, POINT& screenPoint)
{
    if (keyboard) {
        screenPoint = {0, 0};
        return ClientToScreen(window, &screenPoint) != FALSE;
    }
    screenPoint = screen;
    POINT client = screenPoint;
    RECT area;
    if (!ScreenToClient(window, &client) || !GetClientRect(window, &area))
        return false;
    return PtInRect(&area, client) != FALSE;
}

bool PopMenu::track(LPARAM contextMenuPoint, HWND window)
{
    return track(pointFromLParam(contextMenuPoint), fromKeyboard(contextMenuPoint), window);
}

bool PopMenu::track(const Point& screen, bool keyboard, HWND window)
{
    POINT at;
    if (!menu || !trackPoint(screen, keyboard, window, at))
        return false;
    return TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr) != FALSE;
}
