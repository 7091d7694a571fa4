#include "toolkit/Window.h"

namespace {

void throwUnlessDone(BOOL done)
{
    if (!done)
        Exception::throwLastError();
}

void placeWindow(HWND hwnd, int x, int y, int width, int height, UINT flags)
{
    SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOACTIVATE | SWP_NOZORDER | flags);
}

void replaceLong(HWND hwnd, int index, DWORD remove, DWORD add)
{
    DWORD old = static_cast<DWORD>(GetWindowLongPtrW(hwnd, index));
    DWORD changed = (old & ~remove) | add;
    if (changed != old)
        SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
}

} // namespace

BOOL Window::destroy()
{
    BOOL result = IsWindow(hwnd) ? DestroyWindow(hwnd) : FALSE;
    hwnd = nullptr;
    return result;
}

HWND Window::liveHandle() const
{
    if (!hwnd || !IsWindow(hwnd))
        throw Exception(ErrorCode::WindowGone);
    return hwnd;
}

HWND Window::getHandle() const
{
    return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

DWORD Window::getStyle() const
{
    return static_cast<DWORD>(GetWindowLongPtrW(liveHandle(), GWL_STYLE));
}

void Window::modifyStyle(DWORD remove, DWORD add)
{
    replaceLong(liveHandle(), GWL_STYLE, remove, add);
}

void Window::setExStyle(DWORD remove, DWORD add)
{
    replaceLong(liveHandle(), GWL_EXSTYLE, remove, add);
}

void Window::setText(const wstring& text)
{
    throwUnlessDone(SetWindowTextW(liveHandle(), text.buffer()));
}

wstring Window::getText() const
{
    HWND window = liveHandle();
    int length = GetWindowTextLengthW(window);
    wstring text;
    wchar_t* chars = text.reserve(length + 1);
    chars[GetWindowTextW(window, chars, length + 1)] = 0;
    return text;
}

void Window::setBounds(int x, int y, int width, int height)
{
    placeWindow(liveHandle(), x, y, width, height, 0);
}

void Window::setPosition(int x, int y)
{
    placeWindow(liveHandle(), x, y, 0, 0, SWP_NOSIZE);
}

void Window::setSize(int width, int height)
{
    placeWindow(liveHandle(), 0, 0, width, height, SWP_NOMOVE);
}

void Window::setFocus()
{
    SetFocus(liveHandle());
}

void Window::invalidate(bool erase)
{
    InvalidateRect(liveHandle(), nullptr, erase);
}

void Window::show(bool visible)
{
    ShowWindow(liveHandle(), visible ? SW_SHOW : SW_HIDE);
}

void Window::show(int command)
{
    ShowWindow(liveHandle(), command);
}

void Window::enable(bool enabled)
{
    EnableWindow(liveHandle(), enabled);
}

bool Window::isVisible() const
{
    return IsWindowVisible(liveHandle()) != FALSE;
}

bool Window::isEnabled() const
{
    return IsWindowEnabled(liveHandle()) != FALSE;
}

HWND Window::getDlgItem(int id) const
{
    HWND item = GetDlgItem(liveHandle(), id);
    if (!item)
        throw Exception(ErrorCode::WindowGone);
    return item;
}

LRESULT Window::sendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageW(liveHandle(), message, wParam, lParam);
}

void Window::postMessage(UINT message, WPARAM wParam)
{
    throwUnlessDone(PostMessageW(liveHandle(), message, wParam, 0));
}

Rect Window::getWindowRect() const
{
    Rect rect;
    GetWindowRect(liveHandle(), &rect);
    return rect;
}

Rect Window::getClientRect() const
{
    Rect rect;
    GetClientRect(liveHandle(), &rect);
    return rect;
}

Point Window::screenToClient(const Point& point) const
{
    Point converted(point);
    ScreenToClient(liveHandle(), &converted);
    return converted;
}

void Window::setIcon(HICON icon)
{
    sendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    sendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

LRESULT Window::routeCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    onCommand(window, LOWORD(wParam), HIWORD(wParam));
    return handleMessage(window, WM_COMMAND, wParam, lParam);
}

LRESULT Window::answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (crack(message, wParam, lParam, result))
        return result;
    return handleMessage(window, message, wParam, lParam);
}

INT_PTR Window::answerDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!crack(message, wParam, lParam, result))
        return handleMessage(window, message, wParam, lParam);
    if (message == WM_INITDIALOG || message == WM_CTLCOLORSTATIC)
        return result;
    setDialogResult(window, result);
    return TRUE;
}

LRESULT Window::answerGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT failureResult)
{
    return routeExceptions(this, failureResult, [&] { return answer(window, message, wParam, lParam); });
}

INT_PTR Window::answerDialogGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR failureResult)
{
    return routeExceptions(this, failureResult, [&] { return answerDialog(window, message, wParam, lParam); });
}

void limitTrackingSize(MINMAXINFO& info)
{
    info.ptMinTrackSize.x = 100;
    info.ptMinTrackSize.y = 100;
}

LRESULT answerUnbound(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY || message == WM_COMMAND)
        return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

Point pointFromLParam(LPARAM lParam)
{
    return Point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

Point clientToScreen(HWND hwnd, LPARAM lParam)
{
    return clientToScreen(hwnd, pointFromLParam(lParam));
}

Point clientToScreen(HWND hwnd, const Point& client)
{
    Point point = client;
    if (IsWindow(hwnd))
        ClientToScreen(hwnd, &point);
    return point;
}

LRESULT sendCommand(HWND window, int id, int code, HWND control)
{
    return SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

bool postCommand(HWND window, int id)
{
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE;
}

LRESULT notifyParent(HWND control, int code)
{
    return sendCommand(GetParent(control), GetDlgCtrlID(control), code, control);
}

LRESULT sendMenuSelect(HWND window, UINT item, UINT flags, HMENU menu)
{
    return SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu));
}

LRESULT dragByCaption(HWND window, const Point& screen)
{
    return SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

Point messagePosition()
{
    return pointFromLParam(static_cast<LPARAM>(GetMessagePos()));
}

namespace {

struct ClassSearch {
    const wchar_t* className;
    HWND found = nullptr;
    DWORD error = 0;
};

BOOL CALLBACK matchClass(HWND child, LPARAM lParam)
{
    auto* search = reinterpret_cast<ClassSearch*>(lParam);
    wchar_t name[256];
    if (!GetClassNameW(child, name, 256)) {
        // Thrown after the enumeration: an exception must not unwind through the system's frames.
        search->error = GetLastError();
        return FALSE;
    }
    if (lstrcmpiW(name, search->className) != 0)
        return TRUE;
    search->found = child;
    return FALSE;
}

} // namespace

HWND findChildByClass(HWND parent, const wchar_t* className)
{
    ClassSearch search{className};
    // EnumChildWindows' own answer says nothing: it is FALSE for a parent without children.
    EnumChildWindows(parent, matchClass, reinterpret_cast<LPARAM>(&search));
    if (search.error)
        throw Exception(static_cast<int>(search.error));
    return search.found;
}
