#pragma once
#include <memory>
#include <vector>
#include "imaging/Dib.h"
#include "mainwindow/IMainPaneHost.h"
#include "mainwindow/JobLauncher.h"
#include "mainwindow/LayoutFileCommands.h"
#include "mainwindow/MainPane.h"
#include "mainwindow/MainWindowServices.h"
#include "mainwindow/PPView.h"
#include "mainwindow/PicturePropertiesReader.h"
#include "mainwindow/PreviewPaneLoader.h"
#include "mainwindow/SettingsFileCommands.h"
#include "mainwindow/mainWindowMessages.h"
#include "toolkit/ImageList.h"
#include "toolkit/Rebar.h"
#include "toolkit/Statusbar.h"
#include "toolkit/ToolTip.h"
#include "toolkit/Toolbar.h"
#include "toolkit/UserWindow.h"

class MainSplit;

// The program's frame window: the toolbar in a rebar on top, the status bar at the bottom, and between them
// the application's splitter with the main pane (the file list) on one side and the preview pane on the
// other. Its menu commands, the toolbar's and those the panes send all arrive at onCommand (mainCommandIds.h
// names them). The main pane keeps it in step through IMainPaneHost; the preview pane and the option pages,
// and the window itself where it defers something, through its private messages (mainWindowMessages.h).
class MyMainWindow : public MainWindow, public IMainPaneHost {
public:
    static constexpr int RebarId = 101;
    static constexpr int ToolbarId = 102;
    static constexpr int StatusbarId = 103;
    static constexpr int SplitterId = 104;

    // Where the preview pane lies beside the list (View/PreviewPos).
    enum PreviewPosition { PreviewLeft = 0, PreviewTop = 1, PreviewRight = 2, PreviewBottom = 3 };

    // The window's parts, made at WM_CREATE.
    struct WNDDATA {
        WNDDATA(MyMainWindow& window, const MainWindowServices& services)
            : pane(window, services), jobs(pane, window, services), layouts(pane, services), settingsFiles(services),
              preview(services), previewLoader(services.workers), propertiesReader(services.workers)
        {
        }

        Rebar rebar;
        Toolbar toolbar;
        ImageList images;
        ImageList disabledImages;
        // The toolbar's own lists, put back before it goes when the icon lists replaced them.
        HIMAGELIST previousImages = nullptr;
        HIMAGELIST previousDisabledImages = nullptr;
        bool iconListsSet = false;
        ToolTip toolbarTips;
        Statusbar statusbar;
        MainPane pane;
        // The commands on the pane's pictures and on files, their dialogs owned by the pane.
        JobLauncher jobs;
        LayoutFileCommands layouts;
        SettingsFileCommands settingsFiles;
        PPView preview;
        PreviewPaneLoader previewLoader;
        // The picture-properties record read aside, for the list item and path it was asked for; the window takes
        // no input meanwhile.
        PicturePropertiesReader propertiesReader;
        int propertiesItem = -1;
        wstring propertiesPath;
        // While PreviewSelectionMessage waits in the queue.
        bool selectionPreviewPosted = false;
        // The main pane's extent beside the preview (Window/LeftWidth), kept while the preview is hidden.
        int previewSize = 0;
        ToolTip toolTip;
        wstring previewPath;
        int topMargin = 0;
    };

    // What the window opens once it shows: the plain file arguments of the start, else its layout file, else
    // the layout of the settings (File/OpenLayout). Both outlive the window.
    struct Startup {
        const wstringArray& files;
        const wstring& layout;
    };

    // The splitter is the application's; the window lays it out and hands it the panes.
    MyMainWindow(MainSplit& splitter, const MainWindowServices& services, const Startup& startup);
    ~MyMainWindow() override;

    // The private messages, and WM_SYSCOLORCHANGE.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(HWND hwnd, int id, int code) override;
    bool onCreate(const CREATESTRUCTW& creation, bool& refuse) override;
    bool onSize(UINT kind, const Size& client) override;
    bool onSetFocus(HWND previous) override;
    bool onClose() override;
    bool onDestroy() override;
    bool onSetCursor(HWND pointed, UINT hitTest, UINT mouseMessage, bool& halt) override;
    bool onInitMenu(HMENU menu) override;
    bool onMenuSelect(UINT item, UINT flags, HMENU menu) override;

    // Exception 1400 before the window is made.
    WNDDATA& parts() const;
    MainPane& pane() const { return parts().pane; }
    PPView& preview() const { return parts().preview; }
    MainSplit& getSplitter() const { return splitter; }

    // 0 actual size, 1 stretch, 3 stretch keeping the aspect.
    void setPreviewMode(int mode);
    int previewMode() const;
    void clearPreview();
    // Loads the picture aside; the pane shows what it showed until the load ends, then the picture, or nothing
    // when the file gives none. An empty path clears the preview at once.
    void showInPreview(const wstring& path);
    const wstring& previewPath() const { return parts().previewPath; }
    void applyPreviewBackground();
    PreviewPosition previewPosition() const;
    void setPreviewPosition(PreviewPosition position);
    // Whether the window stays in front of the others, as its extended style says, whoever set it.
    bool isTopMost() const;
    // Bits per pixel of the display; 0 when it cannot be asked.
    static int displayBitsPerPixel();

    // The status texts as the bar shows them now.
    wstring statusText(int part) const;

    // ---- IMainPaneHost (MyMainWindowPaneHost.cpp): nothing once the window is gone ----
    HWND ownerWindow() const override { return hwnd; }
    void refreshToolbar() override;
    void refreshStatus() override;
    void refreshStatusWhileAdding(const wstring& file) override;
    void showEscapeHint() override;
    void openPreviewsLater() override;
    void previewSelection() override;
    void showLogOnly() override;
    void holdWhileAdding(bool adding) override;
    void command(int id, int code) override;
    void postCommand(int id) override;
    void showMenuHelp(UINT item, UINT flags, HMENU menu) override;

private:
    // Runs the handler unless the window is gone, as a message to it would have done; an Exception ends it
    // quietly, leaving the toolbar, the status or the preview as it was.
    template <typename Handler>
    void quietly(Handler handler)
    {
        if (!getHandle())
            return;
        try {
            handler();
        } catch (const Exception&) {
        }
    }

    // ---- creation and layout (MyMainWindow.cpp) ----
    LRESULT created(HWND window);
    void prepareCommands();
    void prepareToolkit();
    void applyViewSettings();
    void layout(int width, int height);
    void layoutClient();
    void placeSplitter(int mainPaneExtent);
    int mainPaneExtent() const;

    // ---- the toolbar (MyMainWindowToolbar.cpp) ----
    void buildToolbar();
    void destroyToolbar();
    void restoreToolbarImages();
    bool makeIconLists();
    void addToolbarTips();
    void updateToolbar();

    // ---- status and preview ----
    // `adding`, when not empty, follows the counts.
    void updateStatus(const wstring& adding);
    void showSelectionInPreview();
    // PreviewLoadedMessage: the loaded picture into the pane, unless a newer request came meanwhile.
    void showLoadedPreview(WPARAM request);
    void showSummaryTip();
    void openStartup();
    void openPreviewOfShown();
    // False when not all of them went.
    bool removeBrowserItems();
    void initMenu(HMENU menu);
    void closing();
    void destroying();

    // ---- commands (MyMainWindowCommands.cpp) ----
    void runCommand(int id, int code);
    bool runListCommand(int id);
    bool runJobCommand(int id);
    bool runViewCommand(int id, int code);
    bool runSettingsCommand(int id);
    void convert(bool all);
    void reportJob(const JobLauncher::JobResult& job, bool openOutput, const wstring& opened);
    void openConvertedFolders(const wstringArray& folders);
    void showPictureProperties();
    // PropertiesReadMessage: the sheet of the record read, or why there is none.
    void propertiesRead(WPARAM request);
    void showPropertiesSheet(PictureProperties& picture, int item, const wstring& path);
    bool isReadingProperties() const { return data && data->propertiesItem >= 0; }
    void savePositions(bool toFile);
    void deleteSettingsFile();
    void loadSettingsFile();
    void toggleLogWindow(int code);
    void togglePreview();
    void previewWindows(bool converted);
    void openNextPreviews();
    void launchViewer(int index);
    void openHelp();
    // The picture the conversion pages preview: the list's first.
    wstring samplePicture() const;
    void notYet();
    void warnPreviewFailure(const Exception& exception);
    void inform(const wchar_t* text, UINT icon);

    MainSplit& splitter;
    MainWindowServices services;
    Startup startup;
    std::unique_ptr<WNDDATA> data;
    // The pictures of the viewer menu's entries, until the menu is opened again.
    std::vector<std::unique_ptr<Dib>> viewerPictures;
};
