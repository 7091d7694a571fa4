#include "toolkit/Control.h"
#include <cwchar>
#include "toolkit/ControlClass.h"

namespace {

constexpr wchar_t ObjectProperty[] = L"KorvilaneControl";

} // namespace

Control::~Control()
{
    attachControl(nullptr, nullptr);
}

void Control::createControl(const wchar_t* className, HWND parent, int id, const Rect& rect, DWORD exStyle,
                            DWORD style, bool visibleChild)
{
    prepareCreate(parent);
    if (visibleChild)
        style |= WS_CHILD | WS_VISIBLE;
    bindCreated(CreateWindowExW(exStyle, className, L"", style, rect.left, rect.top, rect.right, rect.bottom,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr));
}

void Control::prepareCreate(HWND parent)
{
    if (getHandle())
        throw Exception(ErrorCode::InvalidState);
    attachControl(nullptr, nullptr);
    if (!parent)
        throw Exception(ErrorCode::InvalidArgument);
}

void Control::bindCreated(HWND created)
{
    if (!created)
        throw Exception(ErrorCode::WindowGone);
    hwnd = created;
}

HWND Control::attachControl(const wchar_t* className, HWND window)
{
    HWND previous = hwnd;
    if (previousProcedure && IsWindow(hwnd)) {
        unbind(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    }
    previousProcedure = nullptr;
    boundByProperty = false;
    hwnd = nullptr;
    if (className && window) {
        wchar_t actual[256];
        if (!GetClassNameW(window, actual, 256))
            Exception::throwLastError();
        if (std::wcscmp(actual, className) != 0)
            throw Exception(ErrorCode::InvalidArgument);
    }
    hwnd = window;
    return previous;
}

void Control::subclass()
{
    HWND window = liveHandle();
    if (previousProcedure)
        return;
    SetLastError(0);
    LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::controlProcedure));
    if (!previous)
        Exception::throwLastError();
    previousProcedure = reinterpret_cast<WNDPROC>(previous);
    bindObject(window, this);
}

void Control::subclassKeepingUserData()
{
    HWND window = liveHandle();
    if (previousProcedure)
        return;
    previousProcedure = subclassWithProperty(window, ObjectProperty, this, &Control::propertyProcedure);
    boundByProperty = true;
}

void Control::unbind(HWND window)
{
    if (boundByProperty)
        RemovePropW(window, ObjectProperty);
    else
        bindObject(window, nullptr);
}

LRESULT Control::passKeyDown(UINT key, UINT repeat, UINT flags)
{
    return handleMessage(liveHandle(), WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
}

LRESULT Control::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProcedure)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = CallWindowProcW(previousProcedure, window, message, wParam, lParam);
    if (message == WM_DESTROY)
        destroyPassedOn = true;
    return result;
}

LRESULT CALLBACK Control::controlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return serve(boundObject<Control>(window), window, message, wParam, lParam);
}

LRESULT CALLBACK Control::propertyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return serve(static_cast<Control*>(GetPropW(window, ObjectProperty)), window, message, wParam, lParam);
}

LRESULT Control::serve(Control* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!object)
        return answerUnbound(window, message, wParam, lParam);
    return routeExceptions(object, 0, [&] { return object->dispatch(window, message, wParam, lParam); });
}

LRESULT Control::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        return destroyed(window, wParam, lParam);
    case WM_COMMAND:
        return routeCommand(window, wParam, lParam);
    default:
        return answer(window, message, wParam, lParam);
    }
}

LRESULT Control::destroyed(HWND window, WPARAM wParam, LPARAM lParam)
{
    destroyPassedOn = false;
    LRESULT result = answerGuarded(window, WM_DESTROY, wParam, lParam, 0);
    unbind(window);
    if (previousProcedure) {
        // The window's own procedure sees WM_DESTROY exactly once, whether or not the handler passed it on.
        if (!destroyPassedOn)
            result = CallWindowProcW(previousProcedure, window, WM_DESTROY, wParam, lParam);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    }
    previousProcedure = nullptr;
    boundByProperty = false;
    hwnd = nullptr;
    return result;
}
