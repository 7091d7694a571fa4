#pragma once
#include <memory>
#include "foundation/wstringArray.h"
#include "mainwindow/IFileListView.h"
#include "mainwindow/PreviewManager.h"
#include "mainwindow/commandStates.h"
#include "toolkit/FileDialog.h"
#include "toolkit/FolderDialog.h"

class AppSetting;
class Dib;

// The left pane of the main window: the file list (its window is the pane's window) with everything the
// user does to it. It binds the list's events, owns the dialogs of the commands, adds files (dialog, drop,
// layout files, folders), starts the batch jobs on the listed or selected pictures and keeps the preview
// windows. It talks to the application's main window through the main window's private messages.
//
// While files are added the main window is disabled and isAdding() is true, from the start of the add until
// the list reports the end of it; a failure before the list starts adding undoes both at once.
//
// Every operation throws Exception 1400 once the window is gone.
class MainPane : public Control {
public:
    // Output format indexes beyond the last are refused.
    static constexpr int FormatCount = 7;

    // A job's outcome for the main window: positive when done, 0 when nothing was started, negative when
    // cancelled or failed (already reported).
    struct JobResult {
        int result = 0;
        // The file written (thumbnail sheet, joined picture, TIFF, GIF, AVI, screen saver) or the folder of
        // the split tiles.
        wstring output;
        // Convert and save: every folder that received outputs, and whether the sources were deleted.
        // Shared so the outcome can be returned (the list itself cannot be copied).
        std::shared_ptr<wstringArray> outputFolders = std::make_shared<wstringArray>();
        bool sourcesDeleted = false;
    };

    // Makes the dialogs and the list of the settings' kind (not yet its window).
    MainPane();
    ~MainPane() override;

    // Makes the list's window, binds its events and sets its column widths; a failure leaves no window.
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
    // Opens a preview window of every selected picture in turn, until Esc is held down or one fails.
    void previewSelected(bool converted);
    bool showPreview(const wstring& path, bool converted);
    int previewCount() const { return previews.count(); }
    void closePreviews() { previews.closeAll(); }
    PreviewManager& previewManager() { return previews; }
    // The path of the focused (first selected) item; empty when nothing is selected.
    wstring focusedPath();
    // Adds the paths through the list's feeder, after expandPaths.
    void addPaths(const wstringArray& paths, bool filterByType, bool expandLayouts);

    // ---- layout files ----
    // Saves the list through the save dialog; nothing when the list is empty or the dialog is cancelled.
    void saveLayout();
    // Asks with the open dialog, then opens the chosen layout.
    void openLayoutByDialog();
    // Adds the pictures of the layout to the list.
    void openLayout(const wstring& path);

    // ---- settings ----
    // To the settings file, or to a file the user picks (toFile); false when the user cancelled.
    bool saveSettings(bool toFile);
    // The conversion settings from a file the user picks; a file that cannot be read changes nothing.
    void loadSettings();

    // ---- jobs ----
    JobResult convertFiles(bool all);
    JobResult makeThumbnailSheet();
    JobResult splitPicture();
    JobResult joinPictures();
    JobResult makeMultiTiff();
    JobResult makeAnimatedGif();
    JobResult makeAvi();
    JobResult makeScreenSaver();

    // The names of the enabled conversion steps in the user's order, joined by "/" ("リサイズ/回転").
    static wstring conversionSummary(const AppSetting& setting, HMODULE module);

    // Fills the menu with the external viewers of the single selected picture (IDM_FIRST_VIEWER onward); the
    // entries' pictures are kept in `pictures` until the menu closes.
    void buildViewerMenu(HMENU menu, std::vector<std::unique_ptr<Dib>>& pictures);

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
    void showContextMenu(POINT at, HWND owner);
    void updateMainWindow();
    LRESULT toMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void commandMainWindow(int id, int code = 0) const;
    void startAdding();
    void stopAdding();
    // Asks for a file name to save under; empty when cancelled.
    wstring askSaveName(FileDialog& dialog);
    void showLogIfWanted();
    template <typename Job>
    int runJob(Job& job);
    JobResult outputFileJob(FileDialog& dialog, int kind);

    FileDialog openFiles;
    FolderDialog convertFolder;
    FolderDialog splitFolder;
    wstringArray extensions;
    int format = 0;
    FileDialog thumbnailSheet;
    FileDialog joinedPicture;
    FileDialog multiTiff;
    FileDialog animatedGif;
    FileDialog avi;
    FileDialog screenSaver;
    FileDialog layoutOpen;
    FileDialog layoutSave;
    FileDialog settingsOpen;
    FileDialog settingsSave;
    PreviewManager previews;
    std::unique_ptr<IFileListView> fileList;
    bool selecting = false;
    bool adding = false;
    // When the status bar last showed the file being added.
    ULONGLONG addedShown = 0;
};
