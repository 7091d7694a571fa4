#pragma once
#include <memory>
#include "foundation/wstringArray.h"
#include "mainwindow/IFileListView.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/PreviewManager.h"
#include "mainwindow/commandStates.h"
#include "toolkit/FileDialog.h"

class IMainPaneHost;

// The left pane of the main window: the file list (its window is the pane's window) with its events and the
// list commands. It binds the list's events, adds files (dialog, drop, layout files, folders), keeps the
// output format and the preview windows, and keeps its host (the main window) in step through
// IMainPaneHost. The jobs, the layout and settings files and the list's context menu are classes of their
// own (JobLauncher, LayoutFileCommands, SettingsFileCommands, FileListMenu).
//
// While files are added the host is held (disabled, under the wait cursor) and isAdding() is true, from the
// start of the add until the list reports the end of it; a failure before the list starts adding undoes both
// at once.
//
// Every operation throws Exception 1400 once the window is gone.
class MainPane : public Control {
public:
    // Output format indexes beyond the last are refused.
    static constexpr int FormatCount = 7;

    // Makes the list of the settings' kind (not yet its window).
    MainPane(IMainPaneHost& host, const MainWindowServices& services);
    ~MainPane() override;

    // Makes the list's window, binds its events, sets its column widths and readies the add dialog; a failure
    // leaves no window.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    // The pane is made, never attached: Exception E_NOTIMPL.
    HWND attach(HWND window) override;

    IFileListView& list() const;
    bool isExplorerBrowserList() const;
    bool isAdding() const { return adding; }
    // What the commands' states depend on.
    ListState listState() const;

    int getFormat() const { return format; }
    // An index outside 0-6 throws Exception 87.
    void setFormat(int index);
    // The default extension of the output format ("jpg").
    wstring currentExtension() const;
    // The format's short name for the status bar ("JPEG").
    wstring formatName() const;

    // ---- commands ----
    void clearList();
    void releaseSelected();
    void addFilesByDialog();
    void selectAll();
    void copyNames();
    void refreshList();
    // Opens a preview window of every selected picture in turn, until Esc is held down or one fails; a few at a
    // time, so that the main window goes on answering between them. A new request replaces what is left of the
    // last one.
    void previewSelected(bool converted);
    // The next few of the preview windows asked for; the host is asked to call again while some are left.
    void openNextPreviews();
    bool showPreview(const wstring& path, bool converted);
    int previewCount() const { return previews.count(); }
    // Every preview window, and those still to open of the selection.
    void closePreviews();
    PreviewManager& previewManager() { return previews; }
    // The path of the focused (first selected) item; empty when nothing is selected.
    wstring focusedPath();
    // The one selected picture, whose external viewers the menus offer; empty unless exactly one is selected.
    wstring soleSelectedPath();
    // Adds the paths through the list's feeder, after expandPaths.
    void addPaths(const wstringArray& paths, bool filterByType, bool expandLayouts);

    // Adds the pictures of the layout to the list.
    void openLayout(const wstring& path);

private:
    class AddingScope;

    // The list's events, bound in the order of FileListEvent.
    void beforeAdd(Window* sender, IFileListView::FileListViewEventArgs& args);
    void added(Window* sender, IFileListView::FileListViewEventArgs& args);
    void addingFinished(Window* sender, IFileListView::FileListViewEventArgs& args);
    void addFailed(Window* sender, IFileListView::FileListViewEventArgs& args);
    void selectionChanged(Window* sender, IFileListView::FileListViewEventArgs& args);
    void doubleClick(Window* sender, IFileListView::FileListViewEventArgs& args);
    void contextMenu(Window* sender, IFileListView::FileListViewEventArgs& args);
    void keyDown(Window* sender, IFileListView::FileListViewEventArgs& args);
    void filesDropped(Window* sender, IFileListView::FileListViewEventArgs& args);
    void command(Window* sender, IFileListView::FileListViewEventArgs& args);
    void menuSelect(Window* sender, IFileListView::FileListViewEventArgs& args);

    void bindEvents();
    void prepareDialogs();
    void updateMainWindow();
    void startAdding();
    void stopAdding();

    IMainPaneHost& host;
    MainWindowServices services;
    FileDialog openFiles;
    wstringArray extensions;
    int format = 0;
    PreviewManager previews;
    // The next picture of the selection whose preview window is to open, the list's walk through the selection
    // standing there; empty once none is left.
    wstring nextPreview;
    bool previewsConverted = false;
    std::unique_ptr<IFileListView> fileList;
    bool selecting = false;
    bool adding = false;
    // When the status bar last showed the file being added.
    ULONGLONG addedShown = 0;
};
