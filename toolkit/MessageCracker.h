#pragma once
#include <windows.h>
#include "foundation/Point.h"
#include "foundation/Size.h"

// The button of a mouse button message.
enum class MouseButton { Left, Right, Middle };

// The common messages of a window, taken apart once into small typed handlers. Each handler answers whether
// it handled the message; a message that none took goes on to the window's raw handler (handleMessage), which
// is also where the program's own messages and the rare messages without a handler here arrive. A handled
// message answers 0, except where a handler gives its answer through an out-parameter.
class MessageCracker {
public:
    virtual ~MessageCracker() = default;

    // The handler of a common message; true with the message's answer in result when it handled it.
    bool crack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Setting refuse makes the creation fail (the window answers -1).
    virtual bool onCreate(const CREATESTRUCTW&, bool& /*refuse*/) { return false; }
    // A dialog's or page's first message; the system then gives the focus to `focus`.
    virtual bool onInitDialog(HWND /*focus*/) { return false; }
    virtual bool onDestroy() { return false; }
    virtual bool onClose() { return false; }
    // kind: SIZE_RESTORED, SIZE_MINIMIZED, ...; the size of the new client area.
    virtual bool onSize(UINT /*kind*/, const Size& /*client*/) { return false; }
    virtual bool onPaint() { return false; }
    virtual bool onSetFocus(HWND /*previous*/) { return false; }
    virtual bool onTimer(UINT_PTR /*id*/) { return false; }
    // result: the notification's answer, 0 unless the handler sets it.
    virtual bool onNotify(const NMHDR&, LRESULT& /*result*/) { return false; }
    // clicked: the window the user clicked (this one or a child). From the keyboard the point is (-1, -1).
    virtual bool onContextMenu(HWND /*clicked*/, const Point& /*screen*/, bool /*fromKeyboard*/) { return false; }
    // bar: SB_HORZ or SB_VERT; code: SB_LINEUP, SB_PAGEDOWN, ...; control: the scroll bar or slider that
    // scrolled, null for the window's own bars.
    virtual bool onScroll(int /*bar*/, UINT /*code*/, HWND /*control*/) { return false; }
    // flags: the key message's upper word (scan code, extended key, previous state).
    virtual bool onKeyDown(UINT /*key*/, UINT /*repeat*/, UINT /*flags*/) { return false; }
    virtual bool onChar(wchar_t, UINT /*repeat*/, UINT /*flags*/) { return false; }
    // The point in client coordinates, keys the MK_ flags of the buttons and keys held.
    virtual bool onButtonDown(MouseButton, const Point& /*client*/, UINT /*keys*/) { return false; }
    virtual bool onButtonUp(MouseButton, const Point& /*client*/, UINT /*keys*/) { return false; }
    virtual bool onDoubleClick(MouseButton, const Point& /*client*/, UINT /*keys*/) { return false; }
    virtual bool onMouseMove(const Point& /*client*/, UINT /*keys*/) { return false; }
    // delta: WHEEL_DELTA per notch, positive away from the user; the point in screen coordinates.
    virtual bool onMouseWheel(int /*delta*/, UINT /*keys*/, const Point& /*screen*/) { return false; }
    // brush: the brush the static control's background is painted with.
    virtual bool onCtlColorStatic(HDC, HWND /*control*/, HBRUSH& /*brush*/) { return false; }
    // A handler that handles the drop releases it (DragFinish).
    virtual bool onDropFiles(HDROP) { return false; }
    // A menu of the window's menu bar is about to open: the bar's menu.
    virtual bool onInitMenu(HMENU) { return false; }
    // item: the command id, or the position of an item that opens a pop-up; flags: the item's MF_ flags;
    // menu: the menu clicked. When the menu closes, flags is 0xFFFF and menu null.
    virtual bool onMenuSelect(UINT /*item*/, UINT /*flags*/, HMENU /*menu*/) { return false; }
    virtual bool onGetMinMaxInfo(MINMAXINFO&) { return false; }
    // pointed: the window under the mouse (this one or a child); hitTest: HTCLIENT, HTCAPTION, ...;
    // mouseMessage: the mouse message that moved or pressed, 0 in menu mode. Setting halt answers TRUE, which
    // tells a child window that asked its parent first to keep the cursor set here.
    virtual bool onSetCursor(HWND /*pointed*/, UINT /*hitTest*/, UINT /*mouseMessage*/, bool& /*halt*/)
    {
        return false;
    }
    // A handled background counts as erased (the message answers 1).
    virtual bool onEraseBackground(HDC) { return false; }

private:
    bool crackFrame(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool crackMouse(UINT message, WPARAM wParam, LPARAM lParam);
};
