#include "mainwindow/EBFileListView.h"
#include <oleacc.h>
#include <shellapi.h>
#include "foundation/Accessible.h"
#include "foundation/PropertyStore.h"

namespace {

constexpr GUID StorageFormat = {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};
constexpr GUID ItemFormat = {0xE3E0584C, 0xB788, 0x4A5A, {0xBB, 0x20, 0x7F, 0x5A, 0x44, 0xC9, 0xAC, 0xDD}};
constexpr PROPERTYKEY ItemPathKey = {ItemFormat, 7};
constexpr PROPERTYKEY ItemFolderKey = {ItemFormat, 6};
constexpr PROPERTYKEY FileNameKey = {{0x41CF5AE0, 0xF75A, 0x4806, {0xBD, 0x87, 0x59, 0xC7, 0xD9, 0x24, 0x8E, 0xB9}},
                                     100};
constexpr PROPERTYKEY NarrowPathKey = {{0x28636AA6, 0x953D, 0x11D2, {0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}},
                                       8};
constexpr PROPERTYKEY SizeKey = {StorageFormat, 12};
constexpr PROPERTYKEY TypeKey = {StorageFormat, 4};
constexpr PROPERTYKEY DateModifiedKey = {StorageFormat, 14};
constexpr PROPERTYKEY NoKey = {{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}}, 0};

const UINT ListFolderFlags = FWF_AUTOARRANGE | FWF_NOWEBVIEW | FWF_NOFILTERS;

void collect(ShellItemIteration& walk, IShellItemArray* items, wstringArray& paths)
{
    paths.removeAll();
    for (wstring path = walk.first(items); !path.isEmpty(); path = walk.next())
        paths.add(path);
}

} // namespace

const PROPERTYKEY& fileListColumnKey(int viewMode, int column)
{
    switch (column) {
    case 0:
        if (viewMode == IFileListView::FileNameView)
            return FileNameKey;
        if (viewMode == IFileListView::NameWithFolderView)
            return NarrowPathKey;
        return ItemPathKey;
    case 1:
        return SizeKey;
    case 2:
        return TypeKey;
    case 3:
        return DateModifiedKey;
    default:
        Exception::throwInvalidArgument();
    }
}

EBFileListView::~EBFileListView()
{
    stopFeeder();
    releaseInnerView();
}

void EBFileListView::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    try {
        host.create(parent, id, rect, exStyle, style);
        host.setFolderSettings(FOLDERSETTINGS{FVM_DETAILS, ListFolderFlags});
        host.controller().setEmptyText(wstring());
        setColumnsOfMode();
        host.setEventHandler(ExplorerBrowser::ContextMenuEvent, setEvent(this, &EBFileListView::onHostContextMenu));
        host.setEventHandler(ExplorerBrowser::SelectionChangedEvent,
                             setEvent(this, &EBFileListView::onHostSelectionChanged));
        bindWindow(host.getHandle());
        subclassInnerView();
    } catch (...) {
        releaseInnerView();
        abandonWindow(host.attach(nullptr));
        throw;
    }
}

void EBFileListView::subclassInnerView()
{
    ComPtr<IOleWindow> browserWindow;
    Exception::check(host.controller().browser()->QueryInterface(IID_IOleWindow, browserWindow.outVoid()));
    HWND browser = nullptr;
    Exception::check(browserWindow->GetWindow(&browser));
    HWND items = findChildByClass(browser, L"directuihwnd");
    // A view without the shell's item window takes its input in the view window the host watches.
    if (!items)
        items = host.controller().itemsWindow();
    DragAcceptFiles(items, TRUE);
    SetClassLongPtrW(items, GCL_STYLE, GetClassLongPtrW(items, GCL_STYLE) | CS_DBLCLKS);
    inner.attach(items);
    inner.subclassKeepingUserData();
}

void EBFileListView::releaseInnerView()
{
    inner.attach(nullptr);
}

// The host tells no point: the menu goes where the mouse was.
void EBFileListView::onHostContextMenu(Window*, EventArgs&)
{
    FileListViewEventArgs args;
    args.contextMenu = {messagePosition(), false, inner.getHandle()};
    raise(FileListEvent::contextMenu, args);
}

void EBFileListView::onHostSelectionChanged(Window*, EventArgs&)
{
    FileListViewEventArgs args;
    raise(FileListEvent::selectionChanged, args);
}

LRESULT EBFileListView::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ExplorerBrowser::HostEvent)
        host.raiseHostEvent(wParam);
    return IFileListView::handleMessage(window, message, wParam, lParam);
}

// A double click on the empty background is the shell's; one on an item is the list's.
bool EBFileListView::InnerView::onDoubleClick(MouseButton button, const Point& client, UINT)
{
    if (button != MouseButton::Left)
        return false;
    int role = 0;
    try {
        Accessible object;
        object.fromPoint(clientToScreen(hwnd, client));
        role = object.role();
    } catch (const Exception&) {
        return true;
    }
    if (role == ROLE_SYSTEM_LIST)
        return false;
    FileListViewEventArgs args;
    raise(FileListEvent::doubleClick, args);
    return true;
}

void EBFileListView::setColumnsOfMode()
{
    const PROPERTYKEY keys[4] = {fileListColumnKey(mode, 0), fileListColumnKey(mode, 1), fileListColumnKey(mode, 2),
                                 fileListColumnKey(mode, 3)};
    host.controller().setColumns(keys);
}

void EBFileListView::setColumnWidth(int column, int width)
{
    host.controller().setColumnWidth(fileListColumnKey(mode, column), width);
}

int EBFileListView::columnWidth(int column)
{
    return host.controller().columnWidth(fileListColumnKey(mode, column));
}

void EBFileListView::setViewMode(int newMode)
{
    int labelWidth = columnWidth(0);
    mode = newMode;
    setColumnsOfMode();
    setColumnWidth(0, labelWidth);
    if (mode == ContentView)
        host.setViewMode(FVM_CONTENT);
    else if (mode == IconView)
        host.setIconView();
    else
        host.setViewMode(FVM_DETAILS);
}

void EBFileListView::removeSelected()
{
    ComPtr<IShellItemArray> selected(host.selectedItems());
    if (selected)
        host.controller().removeItems(selected.get());
}

int EBFileListView::replaceFile(int index, const wstring& path)
{
    host.controller().removeItem(index);
    host.controller().addPath(path);
    return count() - 1;
}

void EBFileListView::allPaths(wstringArray& paths)
{
    ShellItemIteration walk;
    collect(walk, host.allItems(), paths);
}

void EBFileListView::selectedPaths(wstringArray& paths)
{
    ShellItemIteration walk;
    collect(walk, host.selectedItems(), paths);
}

wstring EBFileListView::propertyText(int index, const PROPERTYKEY& key)
{
    IPropertyStore* properties = host.controller().propertyStoreAt(index);
    if (!properties)
        Exception::throwInvalidArgument();
    PropertyStore store;
    *store.out() = properties;
    return store.getDisplayString(key);
}

wstring EBFileListView::itemName(int index)
{
    return propertyText(index, FileNameKey);
}

wstring EBFileListView::itemCompactPath(int index)
{
    return propertyText(index, NarrowPathKey);
}

void EBFileListView::setGrouping(bool on)
{
    if (on == grouping)
        return;
    host.setGroupBy(on ? ItemFolderKey : NoKey);
    grouping = on;
}
