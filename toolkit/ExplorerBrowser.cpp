#include "toolkit/ExplorerBrowser.h"
#include <ocidl.h>
#include <oleacc.h>
#include <memory>
#include "foundation/Accessible.h"
#include "foundation/MemPtr.h"
#include "toolkit/ControlClass.h"
#include "toolkit/ExplorerBrowserSite.h"
#include "toolkit/ShellFolder.h"

namespace {

constexpr wchar_t PropertyName[] = L"ExplorerBrowser";
const FOLDERFLAGS InitialFlags = FWF_AUTOARRANGE | FWF_NOWEBVIEW | FWF_NOGROUPING | FWF_NOFILTERS;

void setSite(IUnknown* object, IUnknown* site)
{
    ComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, withSite.outVoid())))
        withSite->SetSite(site);
}

HWND windowOf(IUnknown* object)
{
    ComPtr<IOleWindow> window;
    HWND handle = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IOleWindow, window.outVoid())))
        window->GetWindow(&handle);
    return handle;
}

ExplorerBrowser::Controller* controllerOf(HWND window)
{
    return static_cast<ExplorerBrowser::Controller*>(GetPropW(window, PropertyName));
}

LRESULT created(HWND window)
{
    return buildOnCreate([window]() -> LRESULT {
        auto controller = std::make_unique<ExplorerBrowser::Controller>(window);
        if (!SetPropW(window, PropertyName, controller.get()))
            Exception::throwLastError();
        controller.release();
        return 0;
    });
}

// Parts of an item, where a press starts a drag or a plain click a rename.
bool isItemRole(int role)
{
    return role == ROLE_SYSTEM_LISTITEM || role == ROLE_SYSTEM_GRAPHIC || role == ROLE_SYSTEM_TEXT;
}

} // namespace

wstring shellItemParsingName(IShellItem* item)
{
    MemPtr name;
    Exception::check(item->GetDisplayName(SIGDN_DESKTOPABSOLUTEPARSING, name.out<wchar_t>()));
    if (!name.get<wchar_t>())
        Exception::throwInvalidArgument();
    return wstring(name.get<wchar_t>());
}

// ---- the window ----

ATOM ExplorerBrowser::registerClass()
{
    return registerControlClass(ExplorerBrowserClassName, classProcedure);
}

bool ExplorerBrowser::canShowFiles()
{
    registerClass();
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!parent)
        return false;
    HWND host = CreateWindowExW(0, ExplorerBrowserClassName, L"", WS_CHILD, 0, 0, 300, 200, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    DestroyWindow(parent);
    return host != nullptr;
}

void ExplorerBrowser::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    createRefusable([&] { createControl(ExplorerBrowserClassName, parent, id, rect, exStyle, style, true); });
}

LRESULT CALLBACK ExplorerBrowser::classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Controller* controller = controllerOf(window);
    switch (message) {
    case WM_CREATE:
        return created(window);
    case WM_DESTROY:
        delete static_cast<Controller*>(RemovePropW(window, PropertyName));
        return 0;
    case WM_SIZE:
        if (controller) {
            RECT client;
            GetClientRect(window, &client);
            controller->browser()->SetRect(nullptr, client);
        }
        return 0;
    case WM_SETFOCUS:
        if (controller) {
            HWND view = nullptr;
            if (SUCCEEDED(controller->shellView()->GetWindow(&view)))
                SetFocus(view);
        }
        return 0;
    case WM_ENABLE:
        if (controller) {
            if (HWND browserWindow = windowOf(controller->browser()))
                EnableWindow(browserWindow, static_cast<BOOL>(wParam));
        }
        break;
    case GetController:
        return reinterpret_cast<LRESULT>(controller);
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ExplorerBrowser::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == HostEvent)
        raiseHostEvent(wParam);
    return Control::handleMessage(window, message, wParam, lParam);
}

void ExplorerBrowser::raiseHostEvent(WPARAM code)
{
    if (code < 1 || code > EventCount)
        return;
    EventArgs args;
    events[code - 1].raiseEvent(this, &args);
}

void ExplorerBrowser::setEventHandler(int index, const EventHandler<EventArgs>& handler)
{
    if (index < 0 || index >= EventCount)
        Exception::throwInvalidArgument();
    events[index].unbind();
    events[index] = handler;
}

ExplorerBrowser::Controller& ExplorerBrowser::controller() const
{
    auto* controller = reinterpret_cast<Controller*>(sendMessage(GetController));
    if (!controller)
        throw Exception(ErrorCode::WindowGone);
    return *controller;
}

void ExplorerBrowser::setFolderSettings(const FOLDERSETTINGS& settings)
{
    Exception::check(controller().browser()->SetFolderSettings(&settings));
}

void ExplorerBrowser::setViewMode(UINT mode)
{
    Exception::check(controller().folderView()->SetCurrentViewMode(mode));
}

void ExplorerBrowser::setIconView()
{
    Exception::check(controller().folderView()->SetViewModeAndIconSize(FVM_ICON, 48));
}

void ExplorerBrowser::setGroupBy(const PROPERTYKEY& key)
{
    Exception::check(controller().folderView()->SetGroupBy(key, TRUE));
}

int ExplorerBrowser::itemCount() const
{
    int count = 0;
    Exception::check(controller().folderView()->ItemCount(SVGIO_ALLVIEW, &count));
    return count;
}

void ExplorerBrowser::selectItem(int index, DWORD flags)
{
    Exception::check(controller().folderView()->SelectItem(index, flags));
}

int ExplorerBrowser::selectedCount() const
{
    int count = 0;
    Exception::check(controller().folderView()->ItemCount(SVGIO_SELECTION, &count));
    return count;
}

int ExplorerBrowser::firstSelected() const
{
    int index = -1;
    HRESULT result = controller().folderView()->GetSelectedItem(0, &index);
    Exception::check(result);
    return result == S_OK ? index : -1;
}

wstring ExplorerBrowser::itemPath(int index) const
{
    return controller().itemPathAt(index);
}

IShellItemArray* ExplorerBrowser::allItems() const
{
    IShellItemArray* items = nullptr;
    Exception::check(
        controller().folderView()->Items(SVGIO_ALLVIEW, IID_IShellItemArray, reinterpret_cast<void**>(&items)));
    return items;
}

IShellItemArray* ExplorerBrowser::selectedItems() const
{
    if (selectedCount() == 0)
        return nullptr;
    IShellItemArray* items = nullptr;
    Exception::check(controller().folderView()->GetSelection(FALSE, &items));
    return items;
}

// ---- the controller ----

ExplorerBrowser::Controller::Controller(HWND owner) : owner(owner)
{
    Exception::check(CoCreateInstance(CLSID_ExplorerBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IExplorerBrowser,
                                      explorer.outVoid()));
    try {
        build();
    } catch (...) {
        releaseBrowser();
        throw;
    }
}

void ExplorerBrowser::Controller::build()
{
    site = new ICommDlgBrowserImpl(owner, 0, 0);
    setSite(explorer.get(), static_cast<IServiceProvider*>(site));
    RECT client;
    GetClientRect(owner, &client);
    FOLDERSETTINGS settings{FVM_DETAILS, static_cast<UINT>(InitialFlags)};
    Exception::check(explorer->Initialize(owner, &client, &settings));
    Exception::check(explorer->SetOptions(EBO_NAVIGATEONCE));
    // An empty results folder that takes no drops: the browser shows only what is added.
    Exception::check(explorer->FillFromObject(nullptr, EBF_NODROPTARGET));
    Exception::check(explorer->GetCurrentView(IID_IShellView, view.outVoid()));
    Exception::check(explorer->GetCurrentView(IID_IFolderView2, folder.outVoid()));
    Exception::check(folder->GetFolder(IID_IResultsFolder, resultsFolder.outVoid()));
    subclassItemsWindow();
}

void ExplorerBrowser::Controller::subclassItemsWindow()
{
    HWND viewWindow = nullptr;
    Exception::check(view->GetWindow(&viewWindow));
    items = findChildByClass(viewWindow, L"directuihwnd");
    listViewMode = items == nullptr;
    if (listViewMode)
        items = viewWindow;
    previousItemsProcedure = subclassWithProperty(items, PropertyName, this, &itemsProcedure);
}

ExplorerBrowser::Controller::~Controller()
{
    forgetItems();
    releaseBrowser();
}

void ExplorerBrowser::Controller::forgetItems()
{
    for (int i = 0; i < shown.count(); ++i)
        shown.valueAt(i).item->Release();
    shown.removeAll();
}

void ExplorerBrowser::Controller::releaseBrowser()
{
    resultsFolder.release();
    folder.release();
    view.release();
    if (explorer) {
        setSite(explorer.get(), nullptr);
        explorer->Destroy();
    }
    restoreSubclassed(items, PropertyName, previousItemsProcedure);
    previousItemsProcedure = nullptr;
    items = nullptr;
    if (site)
        site->Release();
    site = nullptr;
    explorer.release();
}

IExplorerBrowser* ExplorerBrowser::Controller::browser() const
{
    results();
    return explorer.get();
}

IShellView* ExplorerBrowser::Controller::shellView() const
{
    results();
    return view.get();
}

IFolderView2* ExplorerBrowser::Controller::folderView() const
{
    results();
    return folder.get();
}

IResultsFolder* ExplorerBrowser::Controller::results() const
{
    if (!resultsFolder)
        throw Exception(ErrorCode::InvalidState);
    return resultsFolder.get();
}

void ExplorerBrowser::Controller::setEmptyText(const wstring& text)
{
    Exception::check(browser()->SetEmptyText(text.buffer()));
}

void ExplorerBrowser::Controller::setColumns(const PROPERTYKEY (&keys)[4])
{
    ComPtr<IColumnManager> columns;
    Exception::check(folderView()->QueryInterface(IID_IColumnManager, columns.outVoid()));
    Exception::check(columns->SetColumns(keys, 4));
}

void ExplorerBrowser::Controller::setColumnWidth(const PROPERTYKEY& key, int width)
{
    ComPtr<IColumnManager> columns;
    Exception::check(folderView()->QueryInterface(IID_IColumnManager, columns.outVoid()));
    CM_COLUMNINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = CM_MASK_WIDTH;
    info.uWidth = static_cast<UINT>(width);
    Exception::check(columns->SetColumnInfo(key, &info));
}

int ExplorerBrowser::Controller::columnWidth(const PROPERTYKEY& key)
{
    ComPtr<IColumnManager> columns;
    Exception::check(folderView()->QueryInterface(IID_IColumnManager, columns.outVoid()));
    CM_COLUMNINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = CM_MASK_WIDTH;
    Exception::check(columns->GetColumnInfo(key, &info));
    return static_cast<int>(info.uWidth);
}

bool ExplorerBrowser::Controller::addPath(const wstring& path)
{
    if (path.isEmpty())
        Exception::throwInvalidArgument();
    IResultsFolder* target = results();
    ShellFolder parent(owner);
    parent.openItem(path);
    SFGAOF attributes = parent.attributesOf(ShownAttributes);
    ComPtr<IShellItem2> item(parent.currentItem());
    wstring key = shellItemParsingName(item.get()).toLower();
    if (shown.find(key))
        return false;
    shown.add(key, ItemData{attributes, item.get()});
    IShellItem2* stored = item.detach();
    HRESULT result = target->AddItem(stored);
    if (FAILED(result)) {
        shown.remove(key);
        stored->Release();
        throw Exception(static_cast<int>(result));
    }
    return true;
}

void ExplorerBrowser::Controller::removeItem(int index)
{
    wstring key = itemPathAt(index).toLower();
    ItemData* data = shown.find(key);
    if (!data)
        Exception::throwInvalidArgument();
    Exception::check(results()->RemoveItem(data->item));
    data->item->Release();
    shown.remove(key);
}

void ExplorerBrowser::Controller::removeItems(IShellItemArray* array)
{
    IResultsFolder* target = results();
    DWORD count = 0;
    Exception::check(array->GetCount(&count));
    // Every item is looked up before the first one leaves, so a stranger in the array changes nothing.
    for (DWORD i = count; i-- > 0;) {
        ComPtr<IShellItem> item;
        Exception::check(array->GetItemAt(i, item.out()));
        if (!shown.find(shellItemParsingName(item.get()).toLower()))
            Exception::throwInvalidArgument();
    }
    for (DWORD i = count; i-- > 0;) {
        ComPtr<IShellItem> item;
        Exception::check(array->GetItemAt(i, item.out()));
        wstring key = shellItemParsingName(item.get()).toLower();
        ItemData* data = shown.find(key);
        // An item named twice in the array left with its first mention.
        if (!data)
            continue;
        Exception::check(target->RemoveItem(item.get()));
        data->item->Release();
        shown.remove(key);
    }
}

void ExplorerBrowser::Controller::removeAll()
{
    IResultsFolder* target = results();
    ComPtr<IShellItemArray> all;
    Exception::check(folderView()->Items(SVGIO_ALLVIEW, IID_IShellItemArray, all.outVoid()));
    DWORD count = 0;
    Exception::check(all->GetCount(&count));
    for (DWORD i = count; i-- > 0;) {
        ComPtr<IShellItem> item;
        Exception::check(all->GetItemAt(i, item.out()));
        Exception::check(target->RemoveItem(item.get()));
    }
    forgetItems();
}

wstring ExplorerBrowser::Controller::itemPathAt(int index)
{
    ComPtr<IShellItem2> item;
    Exception::check(folderView()->GetItem(index, IID_IShellItem2, item.outVoid()));
    return shellItemParsingName(item.get());
}

IPropertyStore* ExplorerBrowser::Controller::propertyStoreAt(int index)
{
    ComPtr<IShellItem2> item;
    Exception::check(folderView()->GetItem(index, IID_IShellItem2, item.outVoid()));
    IPropertyStore* store = nullptr;
    Exception::check(item->GetPropertyStore(GPS_DEFAULT, IID_IPropertyStore, reinterpret_cast<void**>(&store)));
    return store;
}

// ---- the items window ----

LRESULT CALLBACK ExplorerBrowser::Controller::itemsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Controller* controller = controllerOf(window);
    if (!controller)
        return 0;
    return controller->itemsMessage(window, message, wParam, lParam);
}

bool ExplorerBrowser::Controller::pressesItem(LPARAM clientPoint) const
{
    try {
        Accessible object;
        object.fromPoint(clientToScreen(items, clientPoint));
        return isItemRole(object.role());
    } catch (const Exception&) {
        return false;
    }
}

LRESULT ExplorerBrowser::Controller::itemsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = previousItemsProcedure;
    switch (message) {
    case WM_DESTROY: {
        RemovePropW(window, PropertyName);
        LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        previousItemsProcedure = nullptr;
        return result;
    }
    case WM_NOTIFY:
        if (listViewMode) {
            UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
            if (code == LVN_BEGINDRAG)
                return 0;
            if (code == LVN_BEGINLABELEDITW)
                return 1;
        }
        break;
    case WM_CONTEXTMENU:
        SendMessageW(owner, HostEvent, ContextMenuEvent + 1, 0);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        pressPoint = lParam;
        break;
    case WM_MOUSEMOVE:
        // No drag of items: the move that would start one never reaches the shell.
        if (!listViewMode && GetCapture() == window && pressesItem(pressPoint))
            return 0;
        break;
    case WM_LBUTTONUP:
        // A plain click never completes on an item, so the shell starts no rename.
        if (!listViewMode && !(wParam & MK_CONTROL) && pressesItem(lParam)) {
            SendMessageW(window, WM_CANCELMODE, 0, 0);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(previous, window, message, wParam, lParam);
}
