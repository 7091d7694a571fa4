#include "mainwindow/MainPane.h"
#include <shellapi.h>
#include <shlwapi.h>
#include "foundation/Clipboard.h"
#include "foundation/Mutex.h"
#include "foundation/Path.h"
#include "imaging/Dib.h"
#include "imaging/SusiePlugin.h"
#include "mainwindow/EBFileListView.h"
#include "mainwindow/FileListViewFactory.h"
#include "mainwindow/LayoutFile.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/mainWindowMessages.h"
#include "settings/Messages.h"
#include "toolkit/PopMenu.h"

namespace {

constexpr DWORD OpenFilesFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR |
                                 OFN_HIDEREADONLY;
constexpr DWORD SaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
constexpr DWORD OpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

constexpr UINT PictureFilterString = 2231;
constexpr UINT AllFilesFilterString = 2232;
constexpr UINT LayoutFilterString = 2234;
constexpr UINT SettingsFilterString = 2236;
constexpr UINT FileWordString = 2310;
constexpr UINT ContextMenuString = 2308;
constexpr UINT ViewerMenuString = 2701;
constexpr UINT StepNamesString = 2340;
constexpr UINT ExtensionsString = 2343;
constexpr UINT FormatNamesString = 2344;

constexpr int CompactPathLength = 48;
// The least time between two showings of the file being added, in milliseconds.
constexpr ULONGLONG StatusInterval = 100;

HMODULE resourceModule()
{
    Application* application = getApplication();
    return application ? application->getResourceModule() : GetModuleHandleW(nullptr);
}

wstring resourceString(UINT id)
{
    wstring text;
    text.loadString(resourceModule(), id);
    return text;
}

AppSetting& settings()
{
    return myApp().getSetting();
}

bool escapeHeld()
{
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

// The context menu's items from top to bottom: the index of the text in string 2308, or a separator (-1),
// or the viewer submenu (-2).
struct ContextItem {
    int command;
    int text;
};
constexpr int Separator = -1;
constexpr int ViewerSubmenu = -2;
constexpr ContextItem ContextItems[] = {
    {IDM_CLEAR_LIST, 0},
    {IDM_ADD_FILES, 1},
    {IDM_RELEASE_SELECTED, 2},
    {0, Separator},
    {IDM_CONVERT_ALL, 3},
    {IDM_CONVERT_SELECTED, 4},
    {0, Separator},
    {IDM_START_EXPLORER, 5},
    {0, Separator},
    {IDM_PREVIEW_WINDOWS, 6},
    {IDM_CONVERTED_PREVIEW_WINDOWS, 7},
    {0, ViewerSubmenu},
    {0, Separator},
    {IDM_SELECT_ALL, 8},
    {0, Separator},
    {IDM_PICTURE_PROPERTIES, 9},
};
constexpr int ContextTextCount = 10;

// The viewer's icon drawn on the menu's colour, for the menu item's picture.
std::unique_ptr<Dib> iconPicture(HICON icon)
{
    int width = GetSystemMetrics(SM_CXSMICON);
    int height = GetSystemMetrics(SM_CYSMICON);
    auto picture = std::make_unique<Dib>();
    if (!picture->create(width, height, 24, GetSysColor(COLOR_MENU)))
        return nullptr;
    HDC dc = picture->getDC();
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    picture->releaseDC();
    return picture;
}

} // namespace

// Sets the adding flag and disables the main window until dismissed; undoes both when an add fails before
// the list has started (the list's end notice undoes them otherwise).
class MainPane::AddingScope {
public:
    explicit AddingScope(MainPane& pane) : pane(pane) { pane.startAdding(); }
    AddingScope(const AddingScope&) = delete;
    AddingScope& operator=(const AddingScope&) = delete;
    ~AddingScope()
    {
        if (!handedOver)
            pane.stopAdding();
    }
    void handOver() { handedOver = true; }

private:
    MainPane& pane;
    bool handedOver = false;
};

MainPane::MainPane()
    : openFiles(nullptr, OpenFilesFlags), thumbnailSheet(nullptr, SaveFlags), joinedPicture(nullptr, SaveFlags),
      multiTiff(nullptr, SaveFlags), animatedGif(nullptr, SaveFlags), avi(nullptr, SaveFlags),
      screenSaver(nullptr, SaveFlags), layoutOpen(nullptr, OpenFlags), layoutSave(nullptr, SaveFlags),
      settingsOpen(nullptr, OpenFlags), settingsSave(nullptr, SaveFlags), fileList(createFileListView())
{
}

MainPane::~MainPane()
{
    previews.closeAll();
    // The list's window goes with its parent; the list object stops its feeder.
    hwnd = nullptr;
}

void MainPane::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    fileList->create(parent, id, rect, exStyle, style);
    hwnd = fileList->getHandle();
    try {
        bindEvents();
        AppSetting& setting = settings();
        const int widths[] = {setting.windowCWName, setting.windowCWSize, setting.windowCWType, setting.windowCWDate};
        for (int column = 0; column < 4; ++column)
            fileList->setColumnWidth(column, widths[column]);
        prepareDialogs();
    } catch (...) {
        fileList->destroy();
        hwnd = nullptr;
        throw;
    }
}

HWND MainPane::attach(HWND)
{
    throw Exception(static_cast<int>(E_NOTIMPL));
}

IFileListView& MainPane::list() const
{
    liveHandle();
    return *fileList;
}

ListState MainPane::listState() const
{
    return ListState{list().count(), fileList->selectedCount(), previews.count()};
}

bool MainPane::isExplorerBrowserList() const
{
    return dynamic_cast<EBFileListView*>(fileList.get()) != nullptr;
}

void MainPane::setFormat(int index)
{
    if (index < 0 || index >= FormatCount)
        Exception::throwInvalidArgument();
    format = index;
}

wstring MainPane::currentExtension() const
{
    if (format < 0 || format >= extensions.count())
        Exception::throwInvalidArgument();
    wstringArray parts;
    parts.split(extensions.at(format), L":", false);
    if (parts.count() < 2)
        Exception::throwInvalidArgument();
    return parts.at(0);
}

wstring MainPane::formatName() const
{
    wstringArray names;
    names.splitResourceString(resourceModule(), FormatNamesString, L"/");
    return names.at(format);
}

void MainPane::bindEvents()
{
    using Member = void (MainPane::*)(Window*, IFileListView::FileListViewEventArgs&);
    static constexpr Member handlers[FileListEventCount] = {
        &MainPane::beforeAdd,        &MainPane::added,       &MainPane::addingFinished, &MainPane::addFailed,
        &MainPane::selectionChanged, &MainPane::doubleClick, &MainPane::contextMenu,    &MainPane::keyDown,
        &MainPane::filesDropped,     &MainPane::command,     &MainPane::menuSelect,
    };
    for (int event = 0; event < FileListEventCount; ++event)
        fileList->setEventHandler(static_cast<FileListEvent>(event), setEvent(this, handlers[event]));
}

void MainPane::prepareDialogs()
{
    for (FileDialog* dialog : {&openFiles, &thumbnailSheet, &joinedPicture, &multiTiff, &animatedGif, &avi,
                               &screenSaver, &layoutOpen, &layoutSave, &settingsOpen, &settingsSave})
        dialog->record.hwndOwner = hwnd;
    for (FolderDialog* dialog : {&convertFolder, &splitFolder}) {
        dialog->record.hwndOwner = hwnd;
        dialog->record.ulFlags |= BIF_NEWDIALOGSTYLE;
    }
    struct SaveDialog {
        FileDialog* dialog;
        const wchar_t* extension;
        UINT filter;
    };
    const SaveDialog saving[] = {{&thumbnailSheet, L"html", 2233}, {&joinedPicture, L"png", 2237},
                                 {&multiTiff, L"tif", 2238},       {&animatedGif, L"gif", 2239},
                                 {&avi, L"avi", 2240},             {&screenSaver, L"scr", 2241},
                                 {&layoutSave, L"lay", LayoutFilterString},
                                 {&settingsSave, L"xml", SettingsFilterString}};
    for (const SaveDialog& save : saving) {
        save.dialog->setDefaultExtension(save.extension);
        save.dialog->setFilter(resourceString(save.filter).buffer());
    }
    layoutOpen.setFilter(resourceString(LayoutFilterString).buffer());
    settingsOpen.setFilter(resourceString(SettingsFilterString).buffer());
    extensions.removeAll();
    extensions.splitResourceString(resourceModule(), ExtensionsString, L" ");
}

LRESULT MainPane::toMainWindow(UINT message, WPARAM wParam, LPARAM lParam) const
{
    HWND main = myApp().getMainWindow();
    return main ? SendMessageW(main, message, wParam, lParam) : 0;
}

void MainPane::commandMainWindow(int id, int code) const
{
    if (HWND main = myApp().getMainWindow())
        sendCommand(main, id, code);
}

void MainPane::startAdding()
{
    adding = true;
    HWND main = myApp().getMainWindow();
    if (!main)
        return;
    SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main), HTCLIENT);
    EnableWindow(main, FALSE);
}

void MainPane::stopAdding()
{
    adding = false;
    HWND main = myApp().getMainWindow();
    if (!main)
        return;
    EnableWindow(main, TRUE);
    SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main), HTCLIENT);
}

void MainPane::updateMainWindow()
{
    if (selecting)
        return;
    toMainWindow(RefreshToolbarMessage);
    toMainWindow(PreviewSelectionMessage);
    toMainWindow(RefreshStatusMessage);
}

// ---- the list's events ----

void MainPane::beforeAdd(Window*, IFileListView::FileListViewEventArgs& args)
{
    if (!escapeHeld())
        return;
    int answer = myApp().messageBox(myApp().getMainWindow(), Messages::Q0002.get(),
                                          MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES)
        args.value.value = 1;
}

void MainPane::added(Window*, IFileListView::FileListViewEventArgs& args)
{
    // Redrawn for every file, the status bar would take longer than adding the file; at this pace the user
    // still sees the files pass.
    ULONGLONG now = GetTickCount64();
    if (!args.path || now - addedShown < StatusInterval)
        return;
    addedShown = now;
    wchar_t shortened[CompactPathLength + 1] = L"";
    if (!PathCompactPathExW(shortened, args.path->buffer(), CompactPathLength + 1, 0))
        lstrcpynW(shortened, args.path->buffer(), CompactPathLength + 1);
    wstring shown(shortened);
    toMainWindow(RefreshStatusMessage, 1, reinterpret_cast<LPARAM>(&shown));
}

void MainPane::addingFinished(Window*, IFileListView::FileListViewEventArgs&)
{
    addedShown = 0;
    stopAdding();
    toMainWindow(RefreshStatusMessage);
    toMainWindow(RefreshToolbarMessage);
    fileList->setFocus();
}

void MainPane::addFailed(Window*, IFileListView::FileListViewEventArgs& args)
{
    HWND main = myApp().getMainWindow();
    try {
        if (args.error && args.error->getCode() == ERROR_FILE_NOT_FOUND && args.path) {
            wstring text = Messages::W0005.toWstring().replace(L"%s", args.path->buffer());
            if (myApp().messageBox(main, text.buffer(), MB_YESNO | MB_ICONWARNING) == IDNO)
                args.value.value = 1;
            return;
        }
        if (args.error)
            myApp().showException(main, *args.error);
    } catch (const Exception& exception) {
        myApp().showException(main, exception);
    }
    args.value.value = 1;
}

void MainPane::selectionChanged(Window*, IFileListView::FileListViewEventArgs&)
{
    updateMainWindow();
}

void MainPane::doubleClick(Window*, IFileListView::FileListViewEventArgs&)
{
    if (HWND main = myApp().getMainWindow())
        PostMessageW(main, WM_COMMAND, IDM_PREVIEW_WINDOWS, 0);
}

void MainPane::contextMenu(Window*, IFileListView::FileListViewEventArgs& args)
{
    try {
        const IFileListView::FileListViewEventArgs::ContextMenu& asked = args.contextMenu;
        POINT at;
        if (!PopMenu::trackPoint(asked.screen, asked.fromKeyboard, asked.window, at))
            return;
        showContextMenu(at, asked.window);
    } catch (const Exception&) {
        // A menu that cannot be made is no reason to bother the user.
    }
}

void MainPane::keyDown(Window*, IFileListView::FileListViewEventArgs& args)
{
    if (args.key == VK_RETURN || args.key == VK_SPACE)
        previewSelected(false);
}

void MainPane::filesDropped(Window*, IFileListView::FileListViewEventArgs& args)
{
    try {
        AddingScope scope(*this);
        wstringArray paths;
        if (args.dropped)
            args.dropped->paths(paths);
        addPaths(paths, true, true);
        scope.handOver();
        toMainWindow(RefreshStatusMessage);
    } catch (const Exception& exception) {
        toMainWindow(RefreshStatusMessage);
        myApp().showException(myApp().getMainWindow(), exception);
    }
    toMainWindow(RefreshToolbarMessage);
}

void MainPane::command(Window*, IFileListView::FileListViewEventArgs& args)
{
    commandMainWindow(args.command.id, args.command.code);
}

void MainPane::menuSelect(Window*, IFileListView::FileListViewEventArgs& args)
{
    const IFileListView::FileListViewEventArgs::MenuSelection& selected = args.menuSelection;
    if (HWND main = myApp().getMainWindow())
        sendMenuSelect(main, selected.item, selected.flags, selected.menu);
}

void MainPane::showContextMenu(POINT at, HWND owner)
{
    wstringArray texts;
    texts.splitResourceString(resourceModule(), ContextMenuString, L"/");
    if (texts.count() < ContextTextCount)
        Exception::throwInvalidArgument();
    ListState state = listState();
    PopMenu menu;
    if (!menu.createPopup())
        Exception::throwLastError();
    // The pictures of the viewer entries live until the menu has closed.
    std::vector<std::unique_ptr<Dib>> pictures;
    for (const ContextItem& item : ContextItems) {
        if (item.text == Separator) {
            AppendMenuW(menu.handle(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (item.text == ViewerSubmenu) {
            HMENU viewers = CreatePopupMenu();
            if (!viewers)
                Exception::throwLastError();
            buildViewerMenu(viewers, pictures);
            UINT viewerState = isViewerMenuEnabled(state) ? MF_ENABLED : MF_GRAYED;
            AppendMenuW(menu.handle(), MF_POPUP | viewerState, reinterpret_cast<UINT_PTR>(viewers),
                        resourceString(ViewerMenuString).buffer());
            continue;
        }
        bool enabled = isCommandEnabled(item.command, state);
        AppendMenuW(menu.handle(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), item.command,
                    texts.at(item.text).buffer());
    }
    TrackPopupMenu(menu.handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

void MainPane::buildViewerMenu(HMENU menu, std::vector<std::unique_ptr<Dib>>& pictures)
{
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    if (fileList->selectedCount() != 1)
        return;
    wstring path = focusedPath();
    wstring extension = Path(path).getExtension(true);
    const ViewerEntries& viewers = settings().applications;
    IntArray found;
    viewers.findByExtension(extension, found);
    GenericArray<int>& indexes = found.getValues();
    for (int i = 0; i < indexes.count(); ++i) {
        int index = indexes.at(i);
        UINT id = static_cast<UINT>(IDM_FIRST_VIEWER + index);
        AppendMenuW(menu, MF_STRING, id, viewers.at(index).name.buffer());
        HICON icon = viewers.getIcon(index);
        if (!icon)
            continue;
        std::unique_ptr<Dib> picture = iconPicture(icon);
        DestroyIcon(icon);
        if (!picture)
            continue;
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = picture->getBitmap();
        SetMenuItemInfoW(menu, id, FALSE, &item);
        pictures.push_back(std::move(picture));
    }
}

// ---- commands ----

void MainPane::clearList()
{
    if (list().count() > 0)
        fileList->removeAll();
}

void MainPane::releaseSelected()
{
    list().removeSelected();
}

void MainPane::addFilesByDialog()
{
    liveHandle();
    wstring filter = resourceString(PictureFilterString);
    SusiePlugin plugins;
    plugins.paths.addAll(settings().spiPaths);
    wstringArray entries;
    plugins.allFilters(resourceString(FileWordString), entries);
    if (entries.count() > 0)
        filter = filter + L"|" + entries.join(L"|");
    filter = filter + L"|" + resourceString(AllFilesFilterString);
    openFiles.setFilter(filter.buffer());
    if (!openFiles.showOpen())
        return;
    AddingScope scope(*this);
    wstringArray paths;
    for (int i = 0; i < openFiles.getCount(); ++i)
        paths.add(openFiles.getPath(i));
    // The next opening starts where this one chose.
    openFiles.setFileName(wstring(openFiles.record.lpstrFile).buffer());
    addPaths(paths, false, false);
    scope.handOver();
}

void MainPane::selectAll()
{
    int count = list().count();
    if (count == 0)
        return;
    selecting = true;
    try {
        fileList->selectAll();
    } catch (const Exception&) {
        selecting = false;
        updateMainWindow();
        throw;
    }
    selecting = false;
    updateMainWindow();
}

void MainPane::copyNames()
{
    int count = list().count();
    if (count == 0)
        return;
    wstring text;
    int mode = fileList->viewMode();
    for (int i = 0; i < count; ++i) {
        if (mode == IFileListView::FileNameView)
            text += fileList->itemName(i);
        else if (mode == IFileListView::NameWithFolderView)
            text += fileList->itemCompactPath(i);
        else
            text += fileList->itemPath(i);
        text += L"\r\n";
    }
    OpenedClipboard clipboard(hwnd);
    if (!clipboard.isOpen() || !EmptyClipboard() || !setClipboardText(text.buffer()))
        Exception::throwLastError();
}

void MainPane::refreshList()
{
    int count = list().count();
    AddingScope scope(*this);
    wstringArray paths;
    for (int i = 0; i < count; ++i) {
        wstring path = fileList->itemPath(i);
        if (Path(path).exists())
            paths.add(path);
    }
    fileList->removeAll();
    addPaths(paths, false, false);
    scope.handOver();
}

void MainPane::previewSelected(bool converted)
{
    liveHandle();
    toMainWindow(EscapeHintMessage);
    try {
        if (fileList->selectedCount() > 0) {
            for (wstring path = fileList->firstSelectedPath(); !path.isEmpty(); path = fileList->nextSelectedPath()) {
                if (escapeHeld() || !showPreview(path, converted))
                    break;
            }
        }
    } catch (const Exception&) {
        toMainWindow(RefreshStatusMessage);
        throw;
    }
    toMainWindow(RefreshStatusMessage);
}

bool MainPane::showPreview(const wstring& path, bool converted)
{
    return previews.open(path, converted, format, currentExtension());
}

wstring MainPane::focusedPath()
{
    int index = list().firstSelectedIndex();
    return index < 0 ? wstring() : fileList->itemPath(index);
}

void MainPane::addPaths(const wstringArray& paths, bool filterByType, bool expandLayouts)
{
    AddingScope scope(*this);
    wstringArray expanded;
    // Listing a large folder takes long enough for the window to be seen not answering.
    FileListFeeder::gatherAside([&] { expandPaths(paths, filterByType, expandLayouts, myApp().getName(), expanded); });
    list().addFiles(expanded);
    scope.handOver();
}

// ---- layout files ----

wstring MainPane::askSaveName(FileDialog& dialog)
{
    if (!GetSaveFileNameW(&dialog.record))
        return wstring();
    return wstring(dialog.record.lpstrFile);
}

void MainPane::saveLayout()
{
    int count = list().count();
    if (count == 0)
        return;
    wstring path = askSaveName(layoutSave);
    if (path.isEmpty())
        return;
    layoutOpen.setFileName(path.buffer());
    wstringArray files;
    for (int i = 0; i < count; ++i)
        files.add(fileList->itemPath(i));
    writeLayout(path, myApp().getName(), files);
}

void MainPane::openLayoutByDialog()
{
    liveHandle();
    if (!layoutOpen.showOpen())
        return;
    wstring path = layoutOpen.getPath(0);
    layoutSave.setFileName(path.buffer());
    openLayout(path);
}

void MainPane::openLayout(const wstring& path)
{
    liveHandle();
    AddingScope scope(*this);
    wstringArray files;
    FileListFeeder::gatherAside([&] { readLayout(path, myApp().getName(), files); });
    fileList->addFiles(files);
    scope.handOver();
}

// ---- settings ----

bool MainPane::saveSettings(bool toFile)
{
    liveHandle();
    wstring path;
    if (toFile) {
        path = askSaveName(settingsSave);
        if (path.isEmpty())
            return false;
        settingsOpen.setFileName(path.buffer());
    }
    MyApp& app = myApp();
    MutexLock hold(app.getNamedMutex());
    app.getSetting().save(app.getName(), toFile ? path.buffer() : nullptr);
    return true;
}

void MainPane::loadSettings()
{
    liveHandle();
    if (!settingsOpen.showOpen())
        return;
    wstring path = settingsOpen.getPath(0);
    settingsSave.setFileName(path.buffer());
    MyApp& app = myApp();
    try {
        app.getSetting().load(app.getName(), path.buffer(), app.getResourceModule(), &app.getNamedMutex());
    } catch (const Exception&) {
        // A file that is no settings file leaves the settings as they were.
    }
}

// ---- conversion summary ----

wstring MainPane::conversionSummary(const AppSetting& setting, HMODULE module)
{
    wstringArray keywords;
    keywords.split(L"trimming/resize/text/rotate/convert/appearance", L"/", false);
    wstringArray names;
    names.splitResourceString(module, StepNamesString, L"/");
    if (names.count() < keywords.count())
        Exception::throwInvalidArgument();
    const bool enabled[] = {setting.trimmingEnable, setting.resizeEnable, setting.textEnable,
                            setting.rotateEnable,   setting.effectEnable, setting.appearanceEnable};
    // The steps in the user's order first; a step the order leaves out goes last.
    wstringArray order;
    for (const wstring* step : {&setting.orderFirst, &setting.orderSecond, &setting.orderThird, &setting.orderForth,
                                &setting.orderFifth, &setting.orderSixth})
        if (keywords.contains(*step, false) && !order.contains(*step, false))
            order.add(*step);
    for (int i = 0; i < keywords.count(); ++i)
        if (!order.contains(keywords.at(i), false))
            order.add(keywords.at(i));
    wstringArray shown;
    for (int i = 0; i < order.count(); ++i) {
        for (int k = 0; k < keywords.count(); ++k)
            if (enabled[k] && order.at(i).equals(keywords.at(k)))
                shown.add(names.at(k));
    }
    return shown.join(L"/");
}
