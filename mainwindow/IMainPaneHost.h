#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// What the main pane asks of the window that holds it (MyMainWindow). The pane calls these from its list's
// events and its commands, on the window's thread; none of them throws, since a toolbar or status bar that
// cannot be brought up to date is no reason to stop what the user does.
class IMainPaneHost {
public:
    // The window that owns the pane's message boxes and the jobs' progress dialogs.
    virtual HWND ownerWindow() const = 0;
    // The toolbar's buttons from the commands' states.
    virtual void refreshToolbar() = 0;
    // The status bar's counts and output format.
    virtual void refreshStatus() = 0;
    // The same with the file being added (shortened to fit) after the counts.
    virtual void refreshStatusWhileAdding(const wstring& file) = 0;
    // The status bar says that Esc stops the preview windows opening one by one.
    virtual void showEscapeHint() = 0;
    // The pane opens the next of the preview windows asked for once the window has answered what waits meanwhile
    // (MainPane::openNextPreviews).
    virtual void openPreviewsLater() = 0;
    // The single selected picture into the preview pane once the list's change has settled; a pane without one
    // is cleared.
    virtual void previewSelection() = 0;
    // The log window shown, and never hidden, before a job writes to it.
    virtual void showLogOnly() = 0;
    // While files are added the window takes no input and shows the wait cursor; false gives both back.
    virtual void holdWhileAdding(bool adding) = 0;
    // A command of the list's keys or context menu, run as the window's own menu runs it.
    virtual void command(int id, int code) = 0;
    // The same once the list has finished with the event that asks for it.
    virtual void postCommand(int id) = 0;
    // The status help of the item highlighted in the list's context menu (the values of WM_MENUSELECT).
    virtual void showMenuHelp(UINT item, UINT flags, HMENU menu) = 0;

protected:
    ~IMainPaneHost() = default;
};
