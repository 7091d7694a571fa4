// What the main pane asks of the main window (IMainPaneHost). The pane may still call while the window is
// being destroyed: each call then does nothing, and an Exception leaves the bars as they were.
#include "foundation/Application.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowStrings.h"

void MyMainWindow::refreshToolbar()
{
    quietly([&] { updateToolbar(); });
}

void MyMainWindow::refreshStatus()
{
    quietly([&] { updateStatus(wstring()); });
}

void MyMainWindow::refreshStatusWhileAdding(const wstring& file)
{
    quietly([&] { updateStatus(file); });
}

void MyMainWindow::showEscapeHint()
{
    quietly([&] { parts().statusbar.setText(0, services.program.loadString(IDS_ESCAPE_STATUS).buffer()); });
}

void MyMainWindow::openPreviewsLater()
{
    if (getHandle())
        PostMessageW(hwnd, OpenNextPreviewsMessage, 0, 0);
}

void MyMainWindow::previewSelection()
{
    if (!getHandle() || !data || data->selectionPreviewPosted)
        return;
    data->selectionPreviewPosted = PostMessageW(hwnd, PreviewSelectionMessage, 0, 0) != FALSE;
    if (!data->selectionPreviewPosted)
        quietly([&] { showSelectionInPreview(); });
}

// As the menu command with its "show only" code, so that a failure is told as the command's would be.
void MyMainWindow::showLogOnly()
{
    if (getHandle())
        onCommand(hwnd, IDM_TOGGLE_LOG_WINDOW, CODE_SHOW_LOG_ONLY);
}

// The cursor changes at once, not only when the mouse next moves: onSetCursor keeps the wait cursor while
// adding, and the window class's arrow comes back after it.
void MyMainWindow::holdWhileAdding(bool adding)
{
    if (!getHandle())
        return;
    if (!adding)
        EnableWindow(hwnd, TRUE);
    SetCursor(LoadCursorW(nullptr, adding ? IDC_WAIT : IDC_ARROW));
    if (adding)
        EnableWindow(hwnd, FALSE);
}

void MyMainWindow::command(int id, int code)
{
    if (getHandle())
        onCommand(hwnd, id, code);
}

void MyMainWindow::postCommand(int id)
{
    if (getHandle())
        ::postCommand(hwnd, id);
}

void MyMainWindow::showMenuHelp(UINT item, UINT flags, HMENU menu)
{
    quietly([&] { onMenuSelect(item, flags, menu); });
}
