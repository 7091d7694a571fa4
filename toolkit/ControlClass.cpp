#include "toolkit/ControlClass.h"
#include "foundation/Exception.h"

namespace {

thread_local int creationRefusal = 0;

} // namespace

ATOM registerControlClass(const wchar_t* className, WNDPROC procedure, UINT style, HBRUSH background)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background ? background : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = className;
    ATOM atom = RegisterClassExW(&windowClass);
    if (atom)
        return atom;
    if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        Exception::throwLastError();
    return static_cast<ATOM>(GetClassInfoExW(windowClass.hInstance, className, &windowClass));
}

WNDPROC subclassWithProperty(HWND window, const wchar_t* property, void* object, WNDPROC procedure)
{
    if (!SetPropW(window, property, object))
        Exception::throwLastError();
    SetLastError(0);
    LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    if (!previous) {
        DWORD error = GetLastError();
        RemovePropW(window, property);
        throw Exception(static_cast<int>(error));
    }
    return reinterpret_cast<WNDPROC>(previous);
}

void restoreSubclassed(HWND window, const wchar_t* property, WNDPROC previous)
{
    if (!window || !previous || !IsWindow(window))
        return;
    RemovePropW(window, property);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

bool passToInnerChild(HWND window, int innerId, UINT message, LPARAM lParam, WPARAM wParam)
{
    // Finding the child asks the window system: only for the messages passed on, not for every message.
    switch (message) {
    case WM_SIZE:
        SetWindowPos(GetDlgItem(window, innerId), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOACTIVATE | SWP_NOZORDER);
        return true;
    case WM_SETFOCUS:
        SetFocus(GetDlgItem(window, innerId));
        return true;
    case WM_ENABLE:
        EnableWindow(GetDlgItem(window, innerId), static_cast<BOOL>(wParam));
        return true;
    default:
        return false;
    }
}

LRESULT refuseCreation(int reason)
{
    creationRefusal = reason;
    return -1;
}

int takeCreationRefusal()
{
    int reason = creationRefusal;
    creationRefusal = 0;
    return reason;
}
