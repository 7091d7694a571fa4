#include "mainwindow/MainPane.h"
#include <shellapi.h>
#include <shlwapi.h>
#include "foundation/Application.h"
#include "foundation/Clipboard.h"
#include "foundation/Path.h"
#include "imaging/SusiePlugin.h"
#include "imaging/imagingStrings.h"
#include "mainwindow/EBFileListView.h"
#include "mainwindow/FileListMenu.h"
#include "mainwindow/FileListViewFactory.h"
#include "mainwindow/IMainPaneHost.h"
#include "mainwindow/LayoutFile.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "settings/settingsStrings.h"
#include "toolkit/PopMenu.h"

namespace {

constexpr DWORD OpenFilesFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_NOCHANGEDIR |
                                 OFN_HIDEREADONLY;

constexpr int CompactPathLength = 48;
// The least time between two showings of the file being added, in milliseconds.
constexpr ULONGLONG StatusInterval = 100;
// Milliseconds of preview windows opened at a time, before the window answers what waits meanwhile.
constexpr ULONGLONG PreviewOpeningStep = 30;

bool escapeHeld()
{
    return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
}

} // namespace

// Sets the adding flag and holds the host until dismissed; undoes both when an add fails before
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

MainPane::MainPane(IMainPaneHost& host, const MainWindowServices& services)
    : host(host), services(services), openFiles(nullptr, OpenFilesFlags), previews(services),
      fileList(createFileListView())
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
        const AppSetting& setting = services.setting;
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
    names.splitResourceString(services.program.getResourceModule(), IDS_FORMAT_NAMES, L"/");
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
    openFiles.record.hwndOwner = hwnd;
    extensions.removeAll();
    extensions.splitResourceString(services.program.getResourceModule(), IDS_OUTPUT_EXTENSIONS, L" ");
}

void MainPane::startAdding()
{
    adding = true;
    host.holdWhileAdding(true);
}

void MainPane::stopAdding()
{
    adding = false;
    host.holdWhileAdding(false);
}

void MainPane::updateMainWindow()
{
    if (selecting)
        return;
    host.refreshToolbar();
    host.previewSelection();
    host.refreshStatus();
}

// ---- the list's events ----

void MainPane::beforeAdd(Window*, IFileListView::FileListViewEventArgs& args)
{
    if (!escapeHeld())
        return;
    int answer = services.program.messageBox(host.ownerWindow(), Messages::Q0002.get(), MB_YESNO | MB_ICONQUESTION);
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
    host.refreshStatusWhileAdding(wstring(shortened));
}

void MainPane::addingFinished(Window*, IFileListView::FileListViewEventArgs&)
{
    addedShown = 0;
    stopAdding();
    host.refreshStatus();
    host.refreshToolbar();
    fileList->setFocus();
}

void MainPane::addFailed(Window*, IFileListView::FileListViewEventArgs& args)
{
    HWND main = host.ownerWindow();
    try {
        if (args.error && args.error->getCode() == ERROR_FILE_NOT_FOUND && args.path) {
            wstring text = Messages::W0005.toWstring().replace(L"%s", args.path->buffer());
            if (services.program.messageBox(main, text.buffer(), MB_YESNO | MB_ICONWARNING) == IDNO)
                args.value.value = 1;
            return;
        }
        if (args.error)
            services.program.showException(main, *args.error);
    } catch (const Exception& exception) {
        services.program.showException(main, exception);
    }
    args.value.value = 1;
}

void MainPane::selectionChanged(Window*, IFileListView::FileListViewEventArgs&)
{
    updateMainWindow();
}

void MainPane::doubleClick(Window*, IFileListView::FileListViewEventArgs&)
{
    host.postCommand(IDM_PREVIEW_WINDOWS);
}

void MainPane::contextMenu(Window*, IFileListView::FileListViewEventArgs& args)
{
    try {
        const IFileListView::FileListViewEventArgs::ContextMenu& asked = args.contextMenu;
        POINT at;
        if (!PopMenu::trackPoint(asked.screen, asked.fromKeyboard, asked.window, at))
            return;
        FileListMenu(services).show(at, asked.window, listState(), soleSelectedPath());
    } catch (const Exception&) {
        // A menu that cannot be made is no reason to bother the user.
    }
}

// The keys open the preview windows as the menu command does, so that a picture that cannot be previewed is
// told of in the same way.
void MainPane::keyDown(Window*, IFileListView::FileListViewEventArgs& args)
{
    if (args.key == VK_RETURN || args.key == VK_SPACE)
        host.command(IDM_PREVIEW_WINDOWS, 0);
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
        host.refreshStatus();
    } catch (const Exception& exception) {
        host.refreshStatus();
        services.program.showException(host.ownerWindow(), exception);
    }
    host.refreshToolbar();
}

void MainPane::command(Window*, IFileListView::FileListViewEventArgs& args)
{
    host.command(args.command.id, args.command.code);
}

void MainPane::menuSelect(Window*, IFileListView::FileListViewEventArgs& args)
{
    const IFileListView::FileListViewEventArgs::MenuSelection& selected = args.menuSelection;
    host.showMenuHelp(selected.item, selected.flags, selected.menu);
}

// ---- commands ----

// The preview windows still to open of the selection go with the items: the list's walk through them would
// stand at other items.
void MainPane::clearList()
{
    nextPreview = wstring();
    if (list().count() > 0)
        fileList->removeAll();
}

void MainPane::releaseSelected()
{
    nextPreview = wstring();
    list().removeSelected();
}

void MainPane::addFilesByDialog()
{
    liveHandle();
    wstring filter = services.program.loadString(IDS_PICTURE_FILTER);
    SusiePlugin plugins;
    plugins.paths.addAll(services.setting.spiPaths);
    wstringArray entries;
    plugins.allFilters(services.program.loadString(IDS_PLUGIN_FILTER_TAG), entries);
    if (entries.count() > 0)
        filter = filter + L"|" + entries.join(L"|");
    filter = filter + L"|" + services.program.loadString(IDS_ALL_FILES_FILTER);
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
    nextPreview = wstring();
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
    host.showEscapeHint();
    previewsConverted = converted;
    nextPreview = fileList->selectedCount() > 0 ? fileList->firstSelectedPath() : wstring();
    openNextPreviews();
}

void MainPane::openNextPreviews()
{
    ULONGLONG until = GetTickCount64() + PreviewOpeningStep;
    try {
        while (!nextPreview.isEmpty()) {
            wstring path = nextPreview;
            nextPreview = wstring();
            if (escapeHeld() || !showPreview(path, previewsConverted))
                break;
            nextPreview = fileList->nextSelectedPath();
            if (!nextPreview.isEmpty() && GetTickCount64() >= until) {
                host.openPreviewsLater();
                return;
            }
        }
    } catch (const Exception&) {
        nextPreview = wstring();
        host.refreshStatus();
        throw;
    }
    host.refreshStatus();
}

void MainPane::closePreviews()
{
    nextPreview = wstring();
    previews.closeAll();
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

wstring MainPane::soleSelectedPath()
{
    return list().selectedCount() == 1 ? focusedPath() : wstring();
}

void MainPane::addPaths(const wstringArray& paths, bool filterByType, bool expandLayouts)
{
    AddingScope scope(*this);
    wstringArray expanded;
    // Listing a large folder takes long enough for the window to be seen not answering.
    FileListFeeder::gatherAside(
        [&] { expandPaths(paths, filterByType, expandLayouts, services.program.getName(), expanded); });
    list().addFiles(expanded);
    scope.handOver();
}

void MainPane::openLayout(const wstring& path)
{
    liveHandle();
    AddingScope scope(*this);
    wstringArray files;
    FileListFeeder::gatherAside([&] { readLayout(path, services.program.getName(), files); });
    fileList->addFiles(files);
    scope.handOver();
}
