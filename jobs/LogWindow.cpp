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

bool LogWindow::onCreate(const CREATESTRUCTW&, bool& refuse)
{
    try {
        OutputPane::registerClass();
        Rect client = getClientRect();
        pane.create(hwnd, PaneId, Rect(0, 0, client.right, client.bottom), 0, 0);
    } catch (const Exception&) {
        refuse = true;
    }
    return true;
}

bool LogWindow::onSize(UINT, const Size& client)
{
    SetWindowPos(pane.getHandle(), nullptr, 0, 0, client.cx, client.cy, SWP_NOZORDER);
    return true;
}

bool LogWindow::onSetFocus(HWND)
{
    try {
        pane.setFocus();
    } catch (const Exception&) {
    }
    return true;
}

bool LogWindow::onClose()
{
    ShowWindow(hwnd, SW_HIDE);
    return true;
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
