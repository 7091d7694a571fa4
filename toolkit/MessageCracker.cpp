#include "toolkit/MessageCracker.h"
#include "toolkit/PopMenu.h"
#include "toolkit/Window.h"

namespace {

UINT repeatOf(LPARAM keyData)
{
    return LOWORD(keyData);
}

UINT flagsOf(LPARAM keyData)
{
    return HIWORD(keyData);
}

} // namespace

bool MessageCracker::crack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_CREATE: {
        bool refuse = false;
        if (!onCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam), refuse))
            return false;
        result = refuse ? -1 : 0;
        return true;
    }
    case WM_INITDIALOG:
        result = TRUE;
        return onInitDialog(reinterpret_cast<HWND>(wParam));
    case WM_DESTROY:
        return onDestroy();
    case WM_CLOSE:
        return onClose();
    case WM_SIZE:
        return onSize(static_cast<UINT>(wParam), Size(LOWORD(lParam), HIWORD(lParam)));
    case WM_PAINT:
        return onPaint();
    case WM_SETFOCUS:
        return onSetFocus(reinterpret_cast<HWND>(wParam));
    case WM_TIMER:
        return onTimer(static_cast<UINT_PTR>(wParam));
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
    case WM_CONTEXTMENU:
        return onContextMenu(reinterpret_cast<HWND>(wParam), pointFromLParam(lParam), PopMenu::fromKeyboard(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
        return onScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_KEYDOWN:
        return onKeyDown(static_cast<UINT>(wParam), repeatOf(lParam), flagsOf(lParam));
    case WM_CHAR:
        return onChar(static_cast<wchar_t>(wParam), repeatOf(lParam), flagsOf(lParam));
    case WM_MOUSEWHEEL:
        return onMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam), pointFromLParam(lParam));
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush = nullptr;
        if (!onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), brush))
            return false;
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    case WM_DROPFILES:
        return onDropFiles(reinterpret_cast<HDROP>(wParam));
    default:
        return crackFrame(message, wParam, lParam, result);
    }
}

// The messages of the frame: its menus, its size limits, the cursor and the background.
bool MessageCracker::crackFrame(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITMENU:
        return onInitMenu(reinterpret_cast<HMENU>(wParam));
    case WM_MENUSELECT:
        return onMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_GETMINMAXINFO:
        return onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_SETCURSOR: {
        bool halt = false;
        if (!onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam), halt))
            return false;
        result = halt ? TRUE : FALSE;
        return true;
    }
    case WM_ERASEBKGND:
        if (!onEraseBackground(reinterpret_cast<HDC>(wParam)))
            return false;
        result = 1;
        return true;
    default:
        return crackMouse(message, wParam, lParam);
    }
}

bool MessageCracker::crackMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    static constexpr struct {
        UINT down, up, doubleClick;
        MouseButton button;
    } buttons[] = {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MouseButton::Left},
                   {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MouseButton::Right},
                   {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MouseButton::Middle}};
    // Left of or above the window the words of the point are negative.
    Point at = pointFromLParam(lParam);
    UINT keys = static_cast<UINT>(wParam);
    if (message == WM_MOUSEMOVE)
        return onMouseMove(at, keys);
    for (const auto& messages : buttons) {
        if (message == messages.down)
            return onButtonDown(messages.button, at, keys);
        if (message == messages.up)
            return onButtonUp(messages.button, at, keys);
        if (message == messages.doubleClick)
            return onDoubleClick(messages.button, at, keys);
    }
    return false;
}
