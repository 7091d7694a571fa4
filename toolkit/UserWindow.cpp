#include "toolkit/UserWindow.h"

namespace {

HICON loadIcon(HMODULE module, UINT id)
{
    if (!id)
        return LoadIconW(nullptr, IDI_APPLICATION);
    return LoadIconW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

// A class registered before, by this or another part of the program, counts as registered.
ATOM existingClass(HINSTANCE instance, const wchar_t* className)
{
    if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return 0;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    ATOM atom = static_cast<ATOM>(GetClassInfoExW(instance, className, &existing));
    if (!atom)
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return atom;
}

} // namespace

ATOM registerOrFindClass(const WNDCLASSEXW& windowClass)
{
    ATOM atom = RegisterClassExW(&windowClass);
    if (!atom)
        atom = existingClass(windowClass.hInstance, windowClass.lpszClassName);
    return atom;
}

ATOM WindowClass::registerClass(const wchar_t* className, HMODULE module, UINT iconId, UINT smallIconId)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = UserWindow::windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = loadIcon(module, iconId);
    windowClass.hIconSm = loadIcon(module, smallIconId);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    ATOM atom = registerOrFindClass(windowClass);
    if (!atom) {
        DWORD error = GetLastError();
        name = wstring();
        throw Exception(static_cast<int>(error));
    }
    name = className;
    return atom;
}

UserWindow::~UserWindow()
{
    if (getHandle())
        DestroyWindow(hwnd);
}

HWND UserWindow::create(DWORD exStyle, const UserWindowClass& windowClass, const wchar_t* title, DWORD style,
                        int x, int y, int width, int height, HWND parent, HMENU menu, void* param)
{
    if (getHandle())
        throw Exception(ErrorCode::InvalidState);
    createParam = param;
    HWND created = CreateWindowExW(exStyle, windowClass.windowClass.getName().buffer(), title, style, x, y, width,
                                   height, parent, menu, GetModuleHandleW(nullptr), this);
    if (!created) {
        createParam = nullptr;
        throw Exception(ErrorCode::WindowGone);
    }
    hwnd = created;
    return created;
}

LRESULT UserWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return 0;
    case WM_QUERYNEWPALETTE:
        if (getHandle())
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool UserWindow::onGetMinMaxInfo(MINMAXINFO& info)
{
    limitTrackingSize(info);
    return true;
}

LRESULT CALLBACK UserWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    UserWindow* object = message == WM_CREATE
                             ? static_cast<UserWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)
                             : boundObject<UserWindow>(window);
    // Unbound: messages before WM_CREATE, and windows of the class made without an object.
    if (!object)
        return answerUnbound(window, message, wParam, lParam);
    return routeExceptions(object, 0, [&] { return object->dispatch(window, message, wParam, lParam); });
}

LRESULT UserWindow::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams = createParam;
        bindObject(window, this);
        hwnd = window;
        return answer(window, message, wParam, lParam);
    case WM_DESTROY: {
        LRESULT result = answerGuarded(window, message, wParam, lParam, 0);
        // Unbound even when the handler failed, so that the object never points at a dead handle.
        bindObject(window, nullptr);
        hwnd = nullptr;
        createParam = nullptr;
        return result;
    }
    case WM_COMMAND:
        return routeCommand(window, wParam, lParam);
    default:
        return answer(window, message, wParam, lParam);
    }
}

LRESULT MainWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DESTROY)
        return DefWindowProcW(window, message, wParam, lParam);
    DWORD error = 0;
    GenericArray<int>& ids = hotKeys.getValues();
    for (int i = 0; i < ids.count(); ++i)
        if (!UnregisterHotKey(window, ids.at(i)) && !error)
            error = GetLastError();
    ids.removeAll();
    // The loop must end even when a hot key could not be given back.
    PostQuitMessage(0);
    if (error)
        throw Exception(static_cast<int>(error));
    return 0;
}
