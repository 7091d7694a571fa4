#include "screensaver/ScreenSaverFramework.h"
#include <windowsx.h>
#include <cstdlib>

namespace {

const wchar_t windowClassName[] = L"ScreenSaverWindow";

// What the default procedure needs to know of the one saver window of the process.
struct SaverSession {
    bool fullScreen = false;
    POINT start{};
    bool closing = false;
};
SaverSession session;

bool isSpace(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

ScreenSaverCommand::Mode modeOf(wchar_t letter, bool& known)
{
    known = true;
    switch (letter) {
    case L's':
    case L'S':
        return ScreenSaverCommand::Run;
    case L'p':
    case L'P':
    case L'l':
    case L'L':
        return ScreenSaverCommand::Preview;
    case L'a':
    case L'A':
        return ScreenSaverCommand::ChangePassword;
    case L'c':
    case L'C':
        return ScreenSaverCommand::Configure;
    default:
        known = false;
        return ScreenSaverCommand::Configure;
    }
}

// A decimal handle; null when no digit follows or the number does not fit.
HWND parseWindow(const wchar_t* text)
{
    while (isSpace(*text) || *text == L':')
        ++text;
    ULONG_PTR value = 0;
    bool digits = false;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        ULONG_PTR digit = *text - L'0';
        if (value > (static_cast<ULONG_PTR>(-1) - digit) / 10)
            return nullptr;
        value = value * 10 + digit;
        digits = true;
    }
    return digits ? reinterpret_cast<HWND>(value) : nullptr;
}

void closeSaver(HWND window)
{
    if (session.closing)
        return;
    session.closing = true;
    PostMessageW(window, WM_CLOSE, 0, 0);
}

// The saver's own procedure sees every message first; the process ends with its window.
LRESULT CALLBACK frameworkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = ScreenSaverProc(window, message, wParam, lParam);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return result;
}

bool registerSaverClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = frameworkProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = windowClassName;
    return RegisterClassExW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND createPreviewWindow(HINSTANCE instance, HWND parent)
{
    RECT area{};
    GetClientRect(parent, &area);
    return CreateWindowExW(0, windowClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, area.right,
                           area.bottom, parent, nullptr, instance, nullptr);
}

// Made hidden and shown only once it exists, so that what the saver captures of the screen in its creation is
// the desktop and not itself.
HWND createFullScreenWindow(HINSTANCE instance)
{
    session.fullScreen = true;
    GetCursorPos(&session.start);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClassName, L"", WS_POPUP,
                                  GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                  GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    return window;
}

int runWindow(HINSTANCE instance, HWND parent)
{
    if (!registerSaverClass(instance))
        return 1;
    HWND window = parent ? createPreviewWindow(instance, parent) : createFullScreenWindow(instance);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int configure(HINSTANCE instance, HWND owner)
{
    if (!owner)
        owner = GetForegroundWindow();
    // A saver without a configure dialog opens nothing here.
    if (RegisterDialogClasses(instance))
        DialogBoxParamW(instance, MAKEINTRESOURCEW(ScreenSaverCommand::ConfigureDialogId), owner,
                        ScreenSaverConfigureDialog, 0);
    return 0;
}

} // namespace

ScreenSaverCommand parseScreenSaverCommand(const wchar_t* commandLine)
{
    ScreenSaverCommand command;
    if (!commandLine)
        return command;
    const wchar_t* text = commandLine;
    while (isSpace(*text))
        ++text;
    if (*text == L'/' || *text == L'-')
        ++text;
    bool known = false;
    command.mode = modeOf(*text, known);
    if (known)
        command.window = parseWindow(text + 1);
    return command;
}

bool movedBeyondSlack(POINT start, POINT now)
{
    return std::abs(now.x - start.x) > ScreenSaverMouseSlack || std::abs(now.y - start.y) > ScreenSaverMouseSlack;
}

int runScreenSaver(HINSTANCE instance, const wchar_t* commandLine)
{
    ScreenSaverCommand command = parseScreenSaverCommand(commandLine);
    switch (command.mode) {
    case ScreenSaverCommand::Run:
        return runWindow(instance, nullptr);
    case ScreenSaverCommand::Preview:
        // The display settings name the window to draw into; without a live one there is nothing to show.
        if (!command.window || !IsWindow(command.window))
            return 1;
        return runWindow(instance, command.window);
    case ScreenSaverCommand::ChangePassword:
        // The system keeps the password of the lock screen; a saver has none of its own to change.
        return 0;
    case ScreenSaverCommand::Configure:
    default:
        return configure(instance, command.window);
    }
}

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!session.fullScreen)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE: {
        // The window's appearance alone sends a move to where the cursor already was.
        POINT now{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &now);
        if (movedBeyondSlack(session.start, now))
            closeSaver(window);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
        closeSaver(window);
        return 0;
    case WM_SYSCOMMAND:
        // The system asks a running saver to start again; and the saver ends only on input.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE)
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
