#include "toolkit/ShlTreeView.h"
#include <cstring>
#include <new>
#include "foundation/ComPtr.h"
#include "foundation/MemPtr.h"
#include "toolkit/ControlClass.h"
#include "toolkit/ItemIdList.h"
#include "toolkit/ShellFolder.h"
#include "toolkit/SystemImageList.h"

namespace {

constexpr wchar_t PropertyName[] = L"ShlTreeView";
constexpr DWORD InnerTreeStyle = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS;
constexpr SFGAOF RootAttributes = SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK | SFGAO_GHOSTED;
constexpr SFGAOF ChildAttributes = SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_SHARE |
                                   SFGAO_LINK | SFGAO_GHOSTED;

LRESULT buildWindow(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    bool framed = GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    HWND tree = CreateWindowExW(framed ? 0 : WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", InnerTreeStyle, 0, 0, client.right,
                                client.bottom, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ShlTreeView::InnerTreeId)),
                                GetModuleHandleW(nullptr), nullptr);
    if (!tree)
        return -1;
    // The system's list is shared by every program: set, never owned. Without it the tree shows no icons.
    try {
        SystemImageList icons;
        SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons.handle()));
    } catch (const Exception&) {
    }
    auto* controller = new (std::nothrow) ShlTreeView::Controller(window, tree);
    if (!controller)
        return -1;
    if (!SetPropW(window, PropertyName, controller)) {
        delete controller;
        return -1;
    }
    return 0;
}

void tearDownWindow(HWND window)
{
    if (HWND tree = GetDlgItem(window, ShlTreeView::InnerTreeId))
        SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    delete static_cast<ShlTreeView::Controller*>(RemovePropW(window, PropertyName));
}

ShlTreeView::Controller* controllerOf(HWND window)
{
    return static_cast<ShlTreeView::Controller*>(GetPropW(window, PropertyName));
}

void itemExpanding(HWND window, HTREEITEM item)
{
    ShlTreeView::Controller* controller = controllerOf(window);
    if (!controller)
        return;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        controller->expandItem(item);
    } catch (const Exception&) {
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

int iconOf(LPCITEMIDLIST list, UINT extraFlags)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | extraFlags);
    return info.iIcon;
}

HTREEITEM nextItem(HWND tree, HTREEITEM item, UINT code)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

// The folder that holds the path: its text up to the last backslash, a drive keeping its own ("C:\");
// empty when nothing is left.
wstring parentPathOf(const wstring& path)
{
    wstring text = path;
    while (text.length() > 3 && text.endsWith(L"\\"))
        text = text.left(text.length() - 1);
    int separator = text.rfind(L"\\", text.length() - 1);
    if (separator < 0 || separator + 1 == text.length())
        return wstring();
    if (separator == 2 && text.buffer()[1] == L':')
        return text.left(3);
    return text.left(separator);
}

// The leading items of the list that make up as many items as the prefix has; null when the list has
// fewer. The caller frees it.
LPITEMIDLIST leadingItems(LPCITEMIDLIST list, LPCITEMIDLIST prefix)
{
    auto leading = reinterpret_cast<const BYTE*>(prefix);
    auto bytes = reinterpret_cast<const BYTE*>(list);
    UINT length = 0;
    for (USHORT size; (size = *reinterpret_cast<const USHORT*>(leading)) != 0; leading += size) {
        USHORT listItem = *reinterpret_cast<const USHORT*>(bytes + length);
        if (listItem == 0)
            return nullptr;
        length += listItem;
    }
    auto copy = static_cast<BYTE*>(CoTaskMemAlloc(length + sizeof(USHORT)));
    if (!copy)
        throwOutOfMemory();
    memcpy(copy, bytes, length);
    *reinterpret_cast<USHORT*>(copy + length) = 0;
    return reinterpret_cast<LPITEMIDLIST>(copy);
}

// Whether the shell takes the two lists for the same item. A file-system item's list carries its times,
// which change while the tree is open (a file made in a folder touches the folder), so the bytes alone do
// not decide.
bool sameItem(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    if (compareIdLists(a, b, true) == 0)
        return true;
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.out())))
        return false;
    HRESULT order = desktop.get()->CompareIDs(SHCIDS_CANONICALONLY, a, b);
    return SUCCEEDED(order) && static_cast<short>(HRESULT_CODE(order)) == 0;
}

// Whether the item of the list is the target or holds it.
bool leadsTo(LPCITEMIDLIST list, LPCITEMIDLIST target)
{
    MemPtr leading;
    *leading.out<ITEMIDLIST>() = leadingItems(target, list);
    return leading.get<ITEMIDLIST>() && sameItem(list, leading.get<ITEMIDLIST>());
}

} // namespace

// ---- the window ----

// The observer that setPath installs: the tree's own include decides.
class ShlTreeView::Observer : public ShlTreeView::ControllerObserver {
public:
    explicit Observer(ShlTreeView& tree) : tree(tree) {}
    bool include(ShellFolder& folder) override { return tree.include(folder); }

private:
    ShlTreeView& tree;
};

ShlTreeView::~ShlTreeView()
{
    // The controller lives as long as the window, which may outlive this object.
    if (HWND window = getHandle())
        if (Controller* controller = controllerOf(window))
            controller->setObserver(nullptr);
}

ATOM ShlTreeView::registerClass()
{
    return registerControlClass(ShlTreeViewClassName, classProcedure);
}

LRESULT CALLBACK ShlTreeView::classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (passToInnerChild(window, InnerTreeId, message, lParam, wParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        return buildWindow(window);
    case WM_DESTROY:
        tearDownWindow(window);
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TVN_ITEMEXPANDINGW && reinterpret_cast<NMTREEVIEWW*>(lParam)->action & TVE_EXPAND) {
            itemExpanding(window, reinterpret_cast<NMTREEVIEWW*>(lParam)->itemNew.hItem);
            return FALSE;
        }
        break;
    }
    case GetController:
        return reinterpret_cast<LRESULT>(controllerOf(window));
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ShlTreeView::Controller& ShlTreeView::controller() const
{
    auto* controller = reinterpret_cast<Controller*>(sendMessage(GetController));
    if (!controller)
        throw Exception(ErrorCode::WindowGone);
    return *controller;
}

bool ShlTreeView::setPath(const wstring& path)
{
    Controller& treeController = controller();
    if (!observer) {
        observer.reset(new (std::nothrow) Observer(*this));
        if (!observer)
            throwOutOfMemory();
    }
    return treeController.setRoot(path, observer.get());
}

HTREEITEM ShlTreeView::selectPath(const wstring& path, UINT code)
{
    return controller().selectPath(path, code);
}

HTREEITEM ShlTreeView::getRoot() const
{
    return nextItem(getTree(), nullptr, TVGN_ROOT);
}

HTREEITEM ShlTreeView::getSelection() const
{
    return nextItem(getTree(), nullptr, TVGN_CARET);
}

bool ShlTreeView::expand(HTREEITEM item)
{
    return SendMessageW(getTree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)) != 0;
}

wstring ShlTreeView::getItemPath(HTREEITEM item) const
{
    return parsingNameOfIdList(controller().record(item).idList);
}

wstring ShlTreeView::getItemFileSystemPath(HTREEITEM item) const
{
    LPCITEMIDLIST list = controller().record(item).idList;
    SHFILEINFOW info{};
    info.dwAttributes = SFGAO_FILESYSTEM;
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED) ||
        !(info.dwAttributes & SFGAO_FILESYSTEM))
        return wstring();
    return parsingNameOfIdList(list);
}

// ---- the controller ----

void ShlTreeView::Controller::clear()
{
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    items.removeAll();
    root = wstring();
}

ShlTreeView::TreeItemData& ShlTreeView::Controller::addRecord(SFGAOF attributes, LPITEMIDLIST idList)
{
    auto* data = new (std::nothrow) TreeItemData;
    if (!data) {
        CoTaskMemFree(idList);
        throwOutOfMemory();
    }
    data->attributes = attributes;
    data->idList = idList;
    // A record the array cannot take is deleted by it, list and all.
    if (!items.add(data))
        Exception::throwLastError();
    return *data;
}

ShlTreeView::TreeItemData& ShlTreeView::Controller::record(HTREEITEM item) const
{
    TVITEMW read{};
    read.mask = TVIF_PARAM;
    read.hItem = item;
    if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read)) || !read.lParam)
        Exception::throwInvalidArgument();
    return *reinterpret_cast<TreeItemData*>(read.lParam);
}

bool ShlTreeView::Controller::setRoot(const wstring& path, ControllerObserver* newObserver)
{
    clear();
    observer = newObserver;
    showFlags = ShowFolders;

    ShellFolder folder(tree);
    root = folder.open(path);
    if (!folder.folderIdList())
        throw Exception(ErrorCode::InvalidState);
    SHFILEINFOW info{};
    info.dwAttributes = RootAttributes;
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(folder.folderIdList()), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED | SHGFI_DISPLAYNAME);
    TreeItemData& data = addRecord(info.dwAttributes & RootAttributes, concatIdLists(folder.folderIdList(), nullptr));
    HTREEITEM rootItem = insertItem(TVI_ROOT, info.szDisplayName, data, -1);
    if (!rootItem)
        return false;
    // The children are read at once, while the root stays collapsed until it is expanded.
    return expandItem(rootItem);
}

bool ShlTreeView::Controller::isShown(SFGAOF attributes, ShellFolder& folder) const
{
    if (!(attributes & SFGAO_FOLDER) || !(showFlags & ShowFolders))
        return false;
    if (!(attributes & SFGAO_FILESYSTEM) && !(showFlags & ShowNonFileSystem))
        return false;
    return !observer || observer->include(folder);
}

HTREEITEM ShlTreeView::Controller::insertItem(HTREEITEM parent, const wstring& text, TreeItemData& data, int children)
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    TVITEMW& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_PARAM;
    item.pszText = const_cast<wchar_t*>(text.buffer());
    item.iImage = iconOf(data.idList, 0);
    item.iSelectedImage = iconOf(data.idList, SHGFI_OPENICON);
    item.state = shellOverlayState(data.attributes, item.stateMask);
    item.lParam = reinterpret_cast<LPARAM>(&data);
    if (children >= 0) {
        item.mask |= TVIF_CHILDREN;
        item.cChildren = children;
    }
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool ShlTreeView::Controller::expandItem(HTREEITEM item)
{
    TreeItemData& parent = record(item);
    if (parent.expanded)
        return true;
    parent.expanded = true;
    if (!parent.idList)
        return false;

    ShellFolder folder(tree);
    folder.openIdList(parent.idList);
    bool anyShown = false;
    while (folder.next()) {
        // Every child gets a record, shown or not.
        TreeItemData& child = addRecord(folder.attributesOf(ChildAttributes),
                                        concatIdLists(parent.idList, folder.currentChild()));
        if (!isShown(child.attributes, folder))
            continue;
        int children = (child.attributes & SFGAO_HASSUBFOLDER) ? 1 : 0;
        if (!insertItem(item, folder.currentName(), child, children))
            return false;
        anyShown = true;
    }
    // Only a folder with shown children keeps its expand button.
    TVITEMW update{};
    update.mask = TVIF_CHILDREN;
    update.hItem = item;
    update.cChildren = anyShown ? 1 : 0;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&update));
    return true;
}

HTREEITEM ShlTreeView::Controller::selectPath(const wstring& path, UINT code)
{
    HTREEITEM rootItem = nextItem(tree, nullptr, TVGN_ROOT);
    if (!rootItem)
        return nullptr;
    MemPtr target;
    *target.out<ITEMIDLIST>() = nearestExistingIdList(path);
    if (!target.get<ITEMIDLIST>())
        return nullptr;
    HTREEITEM found = sameItem(record(rootItem).idList, target.get<ITEMIDLIST>())
                          ? rootItem
                          : search(rootItem, target.get<ITEMIDLIST>());
    if (!found)
        return nullptr;
    return SendMessageW(tree, TVM_SELECTITEM, code, reinterpret_cast<LPARAM>(found)) ? found : nullptr;
}

HTREEITEM ShlTreeView::Controller::search(HTREEITEM parent, LPCITEMIDLIST target)
{
    for (HTREEITEM child = nextItem(tree, parent, TVGN_CHILD); child; child = nextItem(tree, child, TVGN_NEXT)) {
        LPCITEMIDLIST list = record(child).idList;
        if (!leadsTo(list, target))
            continue;
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(child));
        if (sameItem(list, target))
            return child;
        // The deepest folder that exists in the tree wins.
        HTREEITEM deeper = search(child, target);
        return deeper ? deeper : child;
    }
    return nullptr;
}

LPITEMIDLIST ShlTreeView::Controller::nearestExistingIdList(const wstring& path) const
{
    // A saved folder may have been deleted since: the shell parses only what exists, so the walk goes up
    // until it finds a folder that does.
    for (wstring candidate = path; !candidate.isEmpty(); candidate = parentPathOf(candidate)) {
        try {
            if (LPITEMIDLIST list = idListFromPath(candidate, tree))
                return list;
        } catch (const Exception&) {
        }
    }
    return nullptr;
}
