#include "mainwindow/MyMainWindow.h"
#include "foundation/Application.h"
#include "foundation/Environment.h"
#include "foundation/Path.h"
#include "jobs/LogWindow.h"
#include "mainwindow/FileListMenu.h"
#include "mainwindow/LayoutAssociation.h"
#include "mainwindow/MainSplit.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/conversionSummary.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/OutputFormat.h"
#include "toolkit/CommonControls.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/ShlListView.h"
#include "toolkit/WaitCursor.h"

namespace {

// Positions in the main menu.
constexpr int ViewMenu = 2;
constexpr int FileListSubmenu = 5;
constexpr int BrowserOnlySeparator = 3;
constexpr int ViewerSubmenu = 12;

// The status bar's second part is this wide at 96 dpi.
constexpr int FormatPartWidth = 100;

int displayDpiY()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi;
}

void setCheck(HMENU menu, int id, bool checked)
{
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void setGray(HMENU menu, int id, bool grayed)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (grayed ? MF_GRAYED : MF_ENABLED));
}

void checkRadio(HMENU menu, int first, int last, int chosen)
{
    CheckMenuRadioItem(menu, first, last, chosen, MF_BYCOMMAND);
}

} // namespace

MyMainWindow::MyMainWindow(MainSplit& splitter, const MainWindowServices& services, const Startup& startup)
    : splitter(splitter), services(services), startup(startup)
{
}

MyMainWindow::~MyMainWindow()
{
    destroy();
}

MyMainWindow::WNDDATA& MyMainWindow::parts() const
{
    if (!data)
        throw Exception(ERROR_INVALID_WINDOW_HANDLE);
    return *data;
}

LRESULT MyMainWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case SummaryTipMessage:
        quietly([&] { showSummaryTip(); });
        return 0;
    case PreviewBackgroundMessage:
        quietly([&] { applyPreviewBackground(); });
        return 0;
    case OpenStartupMessage:
        quietly([&] { openStartup(); });
        return 0;
    case OpenPreviewMessage:
        quietly([&] { openPreviewOfShown(); });
        return 0;
    case PreviewSelectionMessage:
        if (data)
            data->selectionPreviewPosted = false;
        quietly([&] { showSelectionInPreview(); });
        return 0;
    case PreviewLoadedMessage:
        quietly([&] { showLoadedPreview(wParam); });
        return 0;
    case OpenNextPreviewsMessage:
        if (getHandle() && data) {
            openNextPreviews();
            refreshToolbar();
        }
        return 0;
    case PropertiesReadMessage:
        if (getHandle() && data)
            propertiesRead(wParam);
        return 0;
    case PreviewFailedMessage:
        services.program.messageBox(hwnd, Messages::E0004.get(), MB_ICONEXCLAMATION);
        return 0;
    case SelectItemMessage:
        quietly([&] { pane().list().selectAndShow(static_cast<int>(wParam)); });
        return 0;
    case WM_SYSCOLORCHANGE:
        // Passed on as it came: the list's common controls take the new colours only from their parent.
        quietly([&] { result = pane().sendMessage(message, wParam, lParam); });
        return result;
    }
    return MainWindow::handleMessage(window, message, wParam, lParam);
}

bool MyMainWindow::onCreate(const CREATESTRUCTW&, bool& refuse)
{
    refuse = created(hwnd) != 0;
    return true;
}

bool MyMainWindow::onSize(UINT kind, const Size& client)
{
    if (kind != SIZE_MINIMIZED)
        layout(client.cx, client.cy);
    return true;
}

bool MyMainWindow::onSetFocus(HWND)
{
    pane().setFocus();
    return true;
}

bool MyMainWindow::onClose()
{
    closing();
    return true;
}

// The hot keys go and the message loop ends in MainWindow's handling.
bool MyMainWindow::onDestroy()
{
    destroying();
    return false;
}

// The wait cursor while files are added or a picture's properties are read, over the whole window.
bool MyMainWindow::onSetCursor(HWND, UINT, UINT, bool& halt)
{
    if (!data || !(data->pane.isAdding() || isReadingProperties()))
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    halt = true;
    return true;
}

bool MyMainWindow::onInitMenu(HMENU menu)
{
    initMenu(menu);
    DrawMenuBar(hwnd);
    return true;
}

// The help of the menu item, from the menu bar, the list's context menu or the preview pane's.
bool MyMainWindow::onMenuSelect(UINT item, UINT flags, HMENU menu)
{
    parts().statusbar.showMenuHelp(item, flags, menu, GetMenu(hwnd), services.program.getResourceModule());
    return true;
}

// ---- creation ----

LRESULT MyMainWindow::created(HWND window)
{
    try {
        hwnd = window;
        data = std::make_unique<WNDDATA>(*this, services);
        prepareToolkit();
        buildToolbar();
        WNDDATA& parts = *data;
        parts.statusbar.create(window, StatusbarId, Rect(), 0, CCS_BOTTOM | SBARS_SIZEGRIP);
        parts.toolTip.create(window, WS_POPUP | TTS_ALWAYSTIP);
        parts.toolTip.setMaxTipWidth();
        Rect client = getClientRect();
        // Clipped by its siblings: the toolbar shown again lies over it before it moves down, and a move would
        // otherwise copy the toolbar's pixels onto the list.
        splitter.create(window, SplitterId, Rect(0, 0, client.right, client.bottom), 0, WS_CLIPSIBLINGS);
        splitter.setListAndPreview(parts.pane, parts.preview);
        prepareCommands();
        parts.pane.previewManager().setMainWindow(window);
        if (!parts.pane.isExplorerBrowserList() && !removeBrowserItems())
            Exception::throwLastError();
        setPreviewPosition(static_cast<PreviewPosition>(services.setting.viewPreviewPos));
        splitter.subclass();
        parts.preview.subclass();
        parts.preview.sendMessage(PPView::StartMessage);
        parts.preview.sendMessage(WM_COMMAND, PPView::ModeFit);
        applyViewSettings();
        refreshStatus();
        quietly([&] { showSummaryTip(); });
        if (services.setting.viewTopMost)
            onCommand(window, IDM_ALWAYS_ON_TOP, 0);
        splitter.sendMessage(MainSplit::AddTipsMessage);
        // Posted, so that the window shows before the first files are added.
        PostMessageW(window, OpenStartupMessage, 0, 0);
        return 0;
    } catch (const Exception&) {
        return -1;
    }
}

// The commands' dialogs are owned by the list's pane, as the list's own add dialog is.
void MyMainWindow::prepareCommands()
{
    WNDDATA& parts = *data;
    HWND owner = parts.pane.getHandle();
    parts.jobs.prepare(owner);
    parts.layouts.prepare(owner);
    parts.settingsFiles.prepare(owner);
}

void MyMainWindow::prepareToolkit()
{
    Split::registerClass();
    NumericEdit::registerClass();
    ShlListView::registerClass();
    PictureView::registerClass();
    initBarControls();
}

void MyMainWindow::applyViewSettings()
{
    const AppSetting& setting = services.setting;
    WNDDATA& parts = *data;
    parts.previewSize = setting.windowLeftWidth;
    int format = setting.editFormat;
    parts.pane.setFormat(format >= 0 && format < MainPane::FormatCount ? format : 0);
    parts.pane.list().setViewMode(setting.viewFileListDisplayMode);
    parts.pane.list().setGrouping(setting.viewGroup);
    setPreviewMode(drawModeOfPreviewSetting(setting.viewPreviewMode));
    applyPreviewBackground();
    if (!setting.viewStatusbar)
        parts.statusbar.hide();
    if (!setting.viewPreview) {
        parts.preview.hide();
        SendMessageW(hwnd, WM_SIZE, 0, 0);
        return;
    }
    layoutClient();
    placeSplitter(parts.previewSize);
}

// ---- layout ----

void MyMainWindow::layout(int width, int height)
{
    WNDDATA& parts = this->parts();
    int formatPart = FormatPartWidth * displayDpiY() / 96;
    const int edges[2] = {width - formatPart, -1};
    parts.statusbar.setParts(edges);
    if (parts.rebar.getHandle() && parts.rebar.isVisible()) {
        parts.rebar.fitToParent(width, height);
        parts.toolbar.fitToParent(width, height);
        Rect band = parts.rebar.getWindowRect();
        parts.topMargin = band.bottom - band.top;
    }
    int bottomMargin = 0;
    if (parts.statusbar.isVisible()) {
        parts.statusbar.fitToParent(width, height);
        Rect bar = parts.statusbar.getWindowRect();
        bottomMargin = bar.bottom - bar.top;
    }
    int top = parts.rebar.getHandle() && parts.rebar.isVisible() ? parts.topMargin : 0;
    if (splitter.getHandle())
        splitter.setBounds(0, top, width, std::max(height - bottomMargin - top, 0));
}

void MyMainWindow::layoutClient()
{
    Rect client = getClientRect();
    layout(client.right, client.bottom);
}

// The splitter gives its first pane a size; the main pane comes first unless the preview goes first.
void MyMainWindow::placeSplitter(int mainExtent)
{
    PreviewPosition position = previewPosition();
    if (position == PreviewRight || position == PreviewBottom) {
        splitter.setSplitPos(mainExtent);
        return;
    }
    Rect client = splitter.getClientRect();
    int extent = position == PreviewTop ? client.bottom : client.right;
    splitter.setSplitPos(extent - mainExtent - Split::BarThickness);
}

int MyMainWindow::mainPaneExtent() const
{
    Rect area = pane().getClientRect();
    return splitter.getOrientation() == Split::Stacked ? area.bottom : area.right;
}

MyMainWindow::PreviewPosition MyMainWindow::previewPosition() const
{
    bool stacked = splitter.getOrientation() == Split::Stacked;
    if (splitter.isSwapped())
        return stacked ? PreviewTop : PreviewLeft;
    return stacked ? PreviewBottom : PreviewRight;
}

void MyMainWindow::setPreviewPosition(PreviewPosition position)
{
    bool stacked = position == PreviewTop || position == PreviewBottom;
    splitter.setOrientation(stacked ? Split::Stacked : 0);
    splitter.setSwapped(position == PreviewLeft || position == PreviewTop);
}

bool MyMainWindow::isTopMost() const
{
    return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// ---- the preview pane ----

void MyMainWindow::setPreviewMode(int mode)
{
    preview().setDrawMode(mode);
}

int MyMainWindow::previewMode() const
{
    return preview().getDrawMode();
}

void MyMainWindow::clearPreview()
{
    parts().previewLoader.forget();
    preview().sendMessage(PictureView::ReleaseImageMessage);
    preview().invalidate();
    parts().previewPath = wstring();
}

void MyMainWindow::showInPreview(const wstring& path)
{
    if (path.isEmpty()) {
        clearPreview();
        return;
    }
    PreviewPaneLoader::Request request;
    request.path = path;
    request.window = hwnd;
    request.message = PreviewLoadedMessage;
    request.frameWindow = preview().getHandle();
    request.frameMessage = PPView::FrameDecodedMessage;
    parts().previewLoader.load(request);
}

void MyMainWindow::showLoadedPreview(WPARAM request)
{
    PreviewPaneLoader::Result loaded;
    if (!parts().previewLoader.take(request, loaded))
        return;
    if (!loaded.picture) {
        clearPreview();
        return;
    }
    preview().setImage(loaded.picture.get());
    loaded.picture.release();
    parts().previewPath = loaded.path;
}

void MyMainWindow::applyPreviewBackground()
{
    PreviewManager& previews = pane().previewManager();
    preview().setBackgroundSwatch(previews.backgroundOf(services.setting.viewPreviewBack));
    previews.applyBackground();
}

int MyMainWindow::displayBitsPerPixel()
{
    HDC display = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return 0;
    int bits = GetDeviceCaps(display, PLANES) * GetDeviceCaps(display, BITSPIXEL);
    DeleteDC(display);
    return bits;
}

// ---- status, preview and start-up ----

void MyMainWindow::updateStatus(const wstring& adding)
{
    IFileListView& list = pane().list();
    int count = list.count();
    int selected = list.selectedCount();
    wstring files = count == 0 ? services.program.loadString(IDS_NO_FILE_STATUS)
                               : wstring::fromInt(count) + (count == 1 ? L" file" : L" files");
    wstring text = files;
    if (selected > 1)
        text = wstring::fromInt(selected) + services.program.loadString(IDS_SELECTED_STATUS) + L" (" + files + L")";
    if (!adding.isEmpty())
        text = text + L" " + adding;
    Statusbar& status = parts().statusbar;
    status.setText(0, text.buffer());
    status.setText(
        1, services.program.loadString(IDS_CONVERT_TO_STATUS).replace(L"%s", pane().formatName().buffer()).buffer());
}

wstring MyMainWindow::statusText(int part) const
{
    return parts().statusbar.partText(part);
}

void MyMainWindow::showSelectionInPreview()
{
    int selected = pane().list().selectedCount();
    if (!preview().isVisible() || selected == 0) {
        clearPreview();
        return;
    }
    if (selected == 1)
        showInPreview(pane().focusedPath());
}

void MyMainWindow::showSummaryTip()
{
    WNDDATA& parts = this->parts();
    HWND status = parts.statusbar.getHandle();
    parts.toolTip.removeTool(status);
    wstring summary = conversionSummary(services.setting, services.program.getResourceModule());
    if (summary.isEmpty())
        return;
    int length = summary.length();
    std::unique_ptr<wchar_t[]> wide(new wchar_t[length + 1]());
    if (LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_FULLWIDTH, L"/", 1, wide.get(), length + 1) == 1)
        summary = summary.replace(L"/", wstring(wide.get()).left(1).buffer());
    wstring tip = services.program.loadString(IDS_SUMMARY_TIP).replace(L"%s", summary.buffer());
    parts.toolTip.addTool(status, nullptr, tip.buffer());
}

void MyMainWindow::openStartup()
{
    const AppSetting& setting = services.setting;
    try {
        if (startup.files.count() > 0)
            pane().addPaths(startup.files, true, true);
        else if (!startup.layout.isEmpty())
            pane().openLayout(startup.layout);
        else if (setting.fileOpenLayout && !setting.fileLayout.isEmpty())
            pane().openLayout(expandEnvironmentStrings(setting.fileLayout));
    } catch (const Exception& exception) {
        refreshStatus();
        services.program.showException(hwnd, exception);
        refreshToolbar();
        return;
    }
    refreshStatus();
    refreshToolbar();
}

void MyMainWindow::openPreviewOfShown()
{
    WaitCursor wait;
    const wstring& path = parts().previewPath;
    if (path.isEmpty())
        return;
    try {
        pane().showPreview(path, false);
    } catch (const Exception& exception) {
        warnPreviewFailure(exception);
    }
}

bool MyMainWindow::removeBrowserItems()
{
    HMENU viewMenu = GetSubMenu(GetMenu(hwnd), ViewMenu);
    HMENU fileList = viewMenu ? GetSubMenu(viewMenu, FileListSubmenu) : nullptr;
    if (!fileList)
        return false;
    bool removed = true;
    for (UINT id : {IDM_LIST_CONTENT, IDM_LIST_ICONS, IDM_LIST_GROUPING})
        removed = DeleteMenu(fileList, id, MF_BYCOMMAND) && removed;
    return DeleteMenu(fileList, BrowserOnlySeparator, MF_BYPOSITION) && removed;
}

void MyMainWindow::initMenu(HMENU menu)
{
    if (menu != GetMenu(hwnd))
        return;
    WNDDATA& parts = this->parts();
    const Application& program = services.program;
    IFileListView& list = parts.pane.list();
    ListState state = parts.pane.listState();
    for (const CommandRule& rule : commandRules())
        setGray(menu, rule.command, !isCommandEnabled(rule.command, state));
    checkRadio(menu, IDM_FORMAT_JPEG, IDM_FORMAT_BITMAP, formatIndexToCommandId(parts.pane.getFormat()));
    setCheck(menu, IDM_TOGGLE_TOOLBAR, parts.rebar.isVisible());
    setCheck(menu, IDM_TOGGLE_STATUSBAR, parts.statusbar.isVisible());
    setCheck(menu, IDM_TOGGLE_PREVIEW, parts.preview.isVisible());
    setCheck(menu, IDM_TOGGLE_LOG_WINDOW, services.logWindow.getHandle() && services.logWindow.isVisible());
    setCheck(menu, IDM_ALWAYS_ON_TOP, isTopMost());
    int mode = list.viewMode();
    checkRadio(menu, IDM_LIST_PATHS, IDM_LIST_ICONS, IDM_LIST_PATHS + (mode >= 0 && mode <= 4 ? mode : 0));
    setCheck(menu, IDM_LIST_GROUPING, list.isGrouping());
    checkRadio(menu, IDM_PREVIEW_ACTUAL_SIZE, IDM_PREVIEW_FIT, previewModeCommand(previewMode()));
    checkRadio(menu, IDM_PREVIEW_LEFT, IDM_PREVIEW_BOTTOM, IDM_PREVIEW_LEFT + previewPosition());
    HMENU viewMenu = GetSubMenu(menu, ViewMenu);
    if (HMENU viewers = viewMenu ? GetSubMenu(viewMenu, ViewerSubmenu) : nullptr) {
        viewerPictures.clear();
        FileListMenu(services).fillViewers(viewers, parts.pane.soleSelectedPath(), viewerPictures);
        EnableMenuItem(viewMenu, ViewerSubmenu, MF_BYPOSITION | (isViewerMenuEnabled(state) ? MF_ENABLED : MF_GRAYED));
    }
    setGray(menu, IDM_DELETE_SETTINGS, !Path(services.setting.getPath()).exists());
    LayoutAssociation association(program.getName(), program.getDirectory() + program.getFileName());
    setCheck(menu, IDM_ASSOCIATE_LAYOUTS, association.isAssociatedHere());
}

void MyMainWindow::closing()
{
    MainPane& mainPane = pane();
    if (mainPane.previewCount() == 0) {
        DestroyWindow(hwnd);
        return;
    }
    mainPane.closePreviews();
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

void MyMainWindow::destroying()
{
    try {
        if (data) {
            // A load or a read under way ends on the worker pool, which the windowed run stops before GDI+
            // ends; its picture is never shown.
            data->previewLoader.stop();
            data->propertiesReader.stop();
            restoreToolbarImages();
        }
        setAppLogWindow(nullptr);
        services.logWindow.destroy();
    } catch (const Exception&) {
        // The window goes all the same.
    }
}
