#include "jobs/LogWindow.h"
#include <atomic>

namespace {

std::atomic<LogWindow*> appLogWindow{nullptr};

} // namespace

void setAppLogWindow(LogWindow* window)
{
    appLogWindow = window;
}

LogWindow* getAppLogWindow()
{
    return appLogWindow;
}

LogWindow::~LogWindow()
{
    destroy();
}

BOOL LogWindow::destroy()
{
    pane.attach(nullptr);
    return UserWindow::destroy();
}

LRESULT LogWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return created(window);
    case WM_SIZE:
        SetWindowPos(pane.getHandle(), nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam), SWP_NOZORDER);
        return 0;
    case WM_SETFOCUS:
        try {
            pane.setFocus();
        } catch (const Exception&) {
        }
        return 0;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DESTROY:
        return 0;
    default:
        return UserWindow::handleMessage(window, message, wParam, lParam);
    }
}

LRESULT LogWindow::created(HWND window)
{
    try {
        OutputPane::registerClass();
        RECT client;
        GetClientRect(window, &client);
        pane.create(window, PaneId, Rect(0, 0, client.right, client.bottom), 0, 0);
        return 0;
    } catch (const Exception&) {
        return -1;
    }
}

void LogWindow::write(const wstring& text)
{
    pane.write(text);
}

void LogWindow::write(const astring& text)
{
    pane.write(text);
}

void LogWindow::setLimit(int lines)
{
    pane.setMaxLines(lines);
}
