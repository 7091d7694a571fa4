#pragma once
#include <windows.h>

// The main window's private messages: what reaches it from windows that do not hold it (the preview pane, the
// option pages) or from the preview pane's loader thread, and what it defers to itself. The main pane calls it
// instead (IMainPaneHost), as does the window itself for what must happen at once. The numbers are the main
// window's alone; every other window numbers its own from WM_APP as well.

// The single selected picture into the preview pane, posted once however often the selection changes before it
// arrives: a click or a key on another row first leaves none selected, and the picture shown stays until the
// next one has loaded instead of the pane going blank in between.
constexpr UINT PreviewSelectionMessage = WM_APP + 4;
// The status bar's tip with the enabled conversion steps. Posted whenever they may have changed: after a
// conversion sheet has closed, however it closed, and after settings were loaded. The sheets lie above the
// main window in the link order and know it by its handle only; posted, the tip changes once the command
// that opened the sheet has ended.
constexpr UINT SummaryTipMessage = WM_APP + 5;
// View/PreviewBack into the preview pane and the open preview windows, after the preview page changed it;
// sent by the page, which knows only the handle of the sheet's owner.
constexpr UINT PreviewBackgroundMessage = WM_APP + 6;
// Posted once the window is made: the files or the layout given at start-up, added once the window shows.
constexpr UINT OpenStartupMessage = WM_APP + 13;
// From the preview pane on a double click, which knows only its top-level window: a preview window of the
// picture shown in the pane.
constexpr UINT OpenPreviewMessage = WM_APP + 14;
// Posted by the preview pane's loader when the picture it loaded on its thread is ready; wParam: the request's
// number.
constexpr UINT PreviewLoadedMessage = WM_APP + 15;
// Posted by the preview windows' keeper once a preview window has closed because its file gave no picture: the
// window tells the user, which the closed window's own handler must not, since the message box serves messages
// that may delete it.
constexpr UINT PreviewFailedMessage = WM_APP + 16;
// Posted to itself while preview windows of the selection are still to open: the next few of them.
constexpr UINT OpenNextPreviewsMessage = WM_APP + 17;
// Posted by the picture-properties reader when the record it read on the worker pool is ready; wParam: the
// request's number.
constexpr UINT PropertiesReadMessage = WM_APP + 18;
// wParam: the list item to select and show. Posted by the picture-properties command after a change, so
// that the row is selected once the command and its sheet are done.
constexpr UINT SelectItemMessage = WM_APP + 101;
