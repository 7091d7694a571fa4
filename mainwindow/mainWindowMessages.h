#pragma once
#include <windows.h>

// The main window's private messages: what the window asks of itself and what the main pane, the preview
// pane and the option pages ask of it. The numbers are the main window's alone; every other window numbers
// its own from WM_APP as well.

// Toolbar states from the list: release and convert enabled, the output format checked.
constexpr UINT RefreshToolbarMessage = WM_APP + 1;
// Status counts; wParam 1 with lParam pointing at a wstring (the file being added) appends that text.
constexpr UINT RefreshStatusMessage = WM_APP + 2;
// The status bar says that Esc stops the previews opening one by one.
constexpr UINT EscapeHintMessage = WM_APP + 3;
// The single selected picture into the preview pane.
constexpr UINT PreviewSelectionMessage = WM_APP + 4;
// The status bar's tip with the enabled conversion steps. Posted whenever they may have changed: after a
// conversion sheet has closed, however it closed, and after settings were loaded.
constexpr UINT SummaryTipMessage = WM_APP + 5;
// View/PreviewBack into the preview pane and the open preview windows, after the preview page changed it.
constexpr UINT PreviewBackgroundMessage = WM_APP + 6;
// At creation; anything but 0 fails the creation.
constexpr UINT BuildToolbarMessage = WM_APP + 11;
// Posted once the window is made: the files or the layout given at start-up.
constexpr UINT OpenStartupMessage = WM_APP + 13;
// From the preview pane on a double click: a preview window of the picture shown in the pane.
constexpr UINT OpenPreviewMessage = WM_APP + 14;
// wParam: the list item to select and show.
constexpr UINT SelectItemMessage = WM_APP + 101;
// Removes the file-list menu items that only the explorer-browser list supports; 0 when all went.
constexpr UINT RemoveBrowserItemsMessage = WM_APP + 102;
