#include "toolkit/ShlListView.h"
#include <ntquery.h>
#include <cwchar>
#include "foundation/DateTime.h"
#include "foundation/LoadedLibrary.h"
#include "foundation/MemPtr.h"
#include "foundation/Path.h"
#include "foundation/Variant.h"
#include "settings/ProgramResources.h"
#include "toolkit/ControlClass.h"
#include "toolkit/ItemIdList.h"
#include "toolkit/ShellFileInfoCache.h"
#include "toolkit/ShellFolderCache.h"
#include "toolkit/SystemImageList.h"
#include "toolkit/WaitCursor.h"
#include "toolkit/toolkitStrings.h"

namespace {

constexpr wchar_t PropertyName[] = L"ShlListView";
constexpr DWORD InnerListStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE;
constexpr int CellCapacity = 260;

struct ColumnSpec {
    UINT captionId;
    // The program's own caption, for a shell library without the string.
    UINT ownCaptionId;
    int format;
    int width;
};
constexpr ColumnSpec Columns[] = {{8976, IDS_NAME_COLUMN, LVCFMT_LEFT, 200},
                                  {8978, IDS_SIZE_COLUMN, LVCFMT_RIGHT, 100},
                                  {8979, IDS_TYPE_COLUMN, LVCFMT_LEFT, 120},
                                  {8980, IDS_MODIFIED_COLUMN, LVCFMT_LEFT, 120}};

// The captions are the shell's own column names, in the system's language; where the shell lacks them (as
// under Wine) the program's own, so that no header is left empty.
bool insertColumns(HWND list)
{
    LoadedLibrary shell = LoadedLibrary::fromSystemFolder(L"shell32.dll");
    for (int i = 0; i < 4; ++i) {
        wchar_t caption[256] = L"";
        if (!shell.get() || LoadStringW(shell.get(), Columns[i].captionId, caption, 256) <= 0)
            LoadStringW(programResourceModule(), Columns[i].ownCaptionId, caption, 256);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = Columns[i].format;
        column.cx = Columns[i].width;
        column.pszText = caption;
        if (SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column)) < 0)
            return false;
    }
    return true;
}

// The system's image lists are shared by every list: set, never owned.
void setSystemImageLists(HWND list)
{
    MemPtr desktop;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.out<ITEMIDLIST>())))
        return;
    wchar_t path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(desktop.get<ITEMIDLIST>(), path))
        return;
    SHFILEINFOW info{};
    auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    auto large = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
    if (!small || !large)
        return;
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
}

// Nothing thrown may cross into the system's window creation.
LRESULT buildWindow(HWND window)
{
    return buildOnCreate([window]() -> LRESULT {
        RECT client;
        GetClientRect(window, &client);
        bool framed = GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
        HWND list = CreateWindowExW(framed ? 0 : WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", InnerListStyle, 0, 0,
                                    client.right, client.bottom, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(ShlListView::InnerListId)),
                                    GetModuleHandleW(nullptr), nullptr);
        if (!list || !insertColumns(list))
            return -1;
        setSystemImageLists(list);
        auto controller = std::make_unique<ShlListView::Controller>(window, list);
        if (!SetPropW(window, PropertyName, controller.get()))
            return -1;
        controller.release();
        return 0;
    });
}

void tearDownWindow(HWND window)
{
    HWND list = GetDlgItem(window, ShlListView::InnerListId);
    if (list) {
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    }
    delete static_cast<ShlListView::Controller*>(RemovePropW(window, PropertyName));
}

ShlListView::Controller* controllerOf(HWND window)
{
    return static_cast<ShlListView::Controller*>(GetPropW(window, PropertyName));
}

void columnClicked(HWND window, int column)
{
    ShlListView::Controller* controller = controllerOf(window);
    if (!controller)
        return;
    // A second click on the same column turns the order round.
    bool ascending = column != controller->sortColumn() || !controller->isAscending();
    WaitCursor wait;
    controller->sort(column, ascending);
}

LRESULT listNotified(HWND window, NMHDR* header)
{
    if (header->idFrom != ShlListView::InnerListId)
        return 0;
    switch (header->code) {
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
        return routeExceptions(nullptr, 0, [&] {
            columnClicked(window, column);
            return LRESULT(0);
        });
    }
    case LVN_GETDISPINFOW:
        if (ShlListView::Controller* controller = controllerOf(window))
            controller->fillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
    case LVN_DELETEALLITEMS:
        // No notice per item: the records go with the rows in one sweep.
        return TRUE;
    default:
        return 0;
    }
}

ULONGLONG fileTimeValue(const FILETIME& time)
{
    return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The shell's storage details of the current child. Where the shell has none for a file-system item (some
// systems do not implement them) the file system's own size and time serve.
void readDetails(const ShellFolder& folder, ShlListView::ListItemData& record)
{
    bool isFolder = record.attributes & SFGAO_FOLDER;
    Variant size;
    if (!isFolder && storageDetail(folder.shellFolder(), folder.currentChild(), PID_STG_SIZE, size.out())) {
        record.sizeKB = kilobytesOf(static_cast<ULONGLONG>(size.toInt64()));
        record.hasSize = true;
    }
    Variant written;
    SYSTEMTIME systemTime;
    if (storageDetail(folder.shellFolder(), folder.currentChild(), PID_STG_WRITETIME, written.out())) {
        written.changeType(VT_DATE);
        record.hasTime = VariantTimeToSystemTime(written.get().date, &systemTime) &&
                         SystemTimeToFileTime(&systemTime, &record.lastWrite);
    }
    if ((record.hasSize || isFolder) && record.hasTime)
        return;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!(record.attributes & SFGAO_FILESYSTEM) ||
        !GetFileAttributesExW(record.path.buffer(), GetFileExInfoStandard, &data))
        return;
    if (!record.hasSize && !isFolder) {
        record.sizeKB = kilobytesOf((ULONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        record.hasSize = true;
    }
    if (!record.hasTime) {
        record.lastWrite = data.ftLastWriteTime;
        record.hasTime = true;
    }
}

wstring localTimeText(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME systemTime;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &systemTime))
        return wstring();
    try {
        return DateTime(systemTime).toLocaleString(TIME_NOSECONDS);
    } catch (const Exception&) {
        return wstring();
    }
}

template <typename T>
int order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int sign(int value)
{
    return order(value, 0);
}

} // namespace

// ---- the window ----

void ShlListView::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    createRefusable([&] { ClassControl::create(parent, id, rect, exStyle, style); });
}

ATOM ShlListView::registerClass()
{
    return registerControlClass(ShlListViewClassName, classProcedure);
}

LRESULT CALLBACK ShlListView::classProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (passToInnerChild(window, InnerListId, message, lParam, wParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        return buildWindow(window);
    case WM_DESTROY:
        tearDownWindow(window);
        return 0;
    case WM_SYSCOLORCHANGE:
        SendMessageW(GetDlgItem(window, InnerListId), LVM_SETBKCOLOR, 0, GetSysColor(COLOR_WINDOW));
        return 0;
    case WM_NOTIFY:
        return listNotified(window, reinterpret_cast<NMHDR*>(lParam));
    case GetController:
        return reinterpret_cast<LRESULT>(controllerOf(window));
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ShlListView::Controller& ShlListView::controller() const
{
    auto* controller = reinterpret_cast<Controller*>(sendMessage(GetController));
    if (!controller)
        throw Exception(ErrorCode::WindowGone);
    return *controller;
}

bool ShlListView::setColumnWidth(int column, int width)
{
    LVCOLUMNW info{};
    info.mask = LVCF_WIDTH;
    info.cx = width;
    return SendMessageW(innerList(), LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)) != 0;
}

int ShlListView::columnWidth(int column) const
{
    LVCOLUMNW info{};
    info.mask = LVCF_WIDTH;
    SendMessageW(innerList(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    return info.cx;
}

bool ShlListView::addItem(const wstring& path, int index)
{
    if (path.isEmpty())
        Exception::throwInvalidArgument();
    return controller().addItem(path, index);
}

int ShlListView::itemCount() const
{
    return static_cast<int>(SendMessageW(innerList(), LVM_GETITEMCOUNT, 0, 0));
}

int ShlListView::selectedCount() const
{
    return static_cast<int>(SendMessageW(innerList(), LVM_GETSELECTEDCOUNT, 0, 0));
}

bool ShlListView::isItemSelected(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.iItem = index;
    item.stateMask = LVIS_SELECTED;
    if (!SendMessageW(innerList(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    return (item.state & LVIS_SELECTED) != 0;
}

void ShlListView::selectedIndices(int from, int to, std::vector<int>& found) const
{
    found.clear();
    for (int index = from - 1;;) {
        index = static_cast<int>(SendMessageW(innerList(), LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0 || index >= to)
            return;
        found.push_back(index);
    }
}

bool ShlListView::selectItem(int index)
{
    return controller().list().select(index);
}

wstring ShlListView::itemPath(int index) const
{
    return controller().record(index).path;
}

wstring ShlListView::itemName(int index) const
{
    return Path(itemPath(index)).getFileName();
}

wstring ShlListView::itemNameWithFolder(int index) const
{
    return labelWithFolder(itemPath(index));
}

// ---- the controller ----

ShlListView::Controller::Controller(HWND owner, HWND innerList) : owner(owner)
{
    inner.attach(innerList);
}

ShlListView::Controller::~Controller() = default;

bool ShlListView::Controller::addItem(const wstring& path, int index)
{
    std::unique_ptr<ShellFolder> alone;
    ShellFolder* folder = nullptr;
    if (folders) {
        folder = &folders->openItem(path);
    } else {
        alone = std::make_unique<ShellFolder>(owner);
        alone->openItem(path);
        folder = alone.get();
    }

    auto record = std::make_unique<ListItemData>();
    record->attributes = folder->attributesOf(ShownAttributes);
    record->path = folder->currentParsingName();
    record->key = record->path.toLower();
    std::wstring key = record->key.buffer();
    if (items.count(key))
        return false;
    readDetails(*folder, *record);
    record->label = labelOf(record->path);
    record->idList.reset(concatIdLists(folder->folderIdList(), folder->currentChild()));
    ShellFileInfo shown = fileInfo ? fileInfo->infoOf(record->idList.get(), record->attributes,
                                                      Path(record->path).getFileName())
                                   : shellFileInfoOf(record->idList.get());
    record->typeName = shown.typeName;
    ListItemData& stored = *record;
    items.emplace(key, std::move(record));
    // Beyond the last index the list appends.
    insertItem(index == -1 ? INT_MAX : index, stored, shown.icon);
    return true;
}

void ShlListView::Controller::insertItem(int index, ListItemData& record, int icon)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
    item.iItem = index;
    // Every cell's text comes from the record when the list needs it.
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = icon;
    item.state = shellOverlayState(record.attributes, item.stateMask);
    item.lParam = reinterpret_cast<LPARAM>(&record);
    if (inner.insertItemPastSubclasses(item) < 0) {
        forget(record.key);
        throw Exception(ErrorCode::NoMemory);
    }
}

void ShlListView::Controller::forget(const wstring& key)
{
    items.erase(key.buffer());
}

void ShlListView::Controller::beginAdding()
{
    if (folders)
        return;
    folders = std::make_unique<ShellFolderCache>(owner);
    fileInfo = std::make_unique<ShellFileInfoCache>();
    holdRedraw();
}

bool ShlListView::Controller::showAdded()
{
    if (!folders)
        return false;
    // Held by the run alone: the first step.
    if (redrawHolds == 1) {
        releaseRedraw();
        return true;
    }
    if (redrawHolds == 0) {
        UpdateWindow(inner.getHandle());
        holdRedraw();
    }
    return false;
}

void ShlListView::Controller::endAdding()
{
    if (!folders)
        return;
    folders.reset();
    fileInfo.reset();
    releaseRedraw();
}

void ShlListView::Controller::holdRedraw()
{
    if (redrawHolds++ == 0)
        SendMessageW(inner.getHandle(), WM_SETREDRAW, FALSE, 0);
}

void ShlListView::Controller::releaseRedraw()
{
    if (redrawHolds == 0 || --redrawHolds > 0)
        return;
    HWND list = inner.getHandle();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

const ShlListView::ListItemData& ShlListView::Controller::record(int index) const
{
    return *recordAt(index);
}

ShlListView::ListItemData* ShlListView::Controller::recordAt(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(inner.getHandle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam)
        Exception::throwInvalidArgument();
    return reinterpret_cast<ListItemData*>(item.lParam);
}

void ShlListView::Controller::removeItem(int index)
{
    wstring key = record(index).key;
    if (!items.count(key.buffer()))
        Exception::throwInvalidArgument();
    inner.deleteItem(index);
    forget(key);
}

void ShlListView::Controller::clear()
{
    RedrawPause pause(*this);
    SendMessageW(inner.getHandle(), LVM_DELETEALLITEMS, 0, 0);
    items.clear();
}

wstring ShlListView::Controller::labelOf(const wstring& path) const
{
    switch (label) {
    case FileNameLabel:
        return Path(path).getFileName();
    case NameWithFolderLabel:
        return labelWithFolder(path);
    default:
        return path;
    }
}

void ShlListView::Controller::setLabelType(int type)
{
    RedrawPause pause(*this);
    label = type;
    for (auto& item : items)
        item.second->label = labelOf(item.second->path);
}

int ShlListView::Controller::firstSelected() const
{
    return inner.getSelectedIndex();
}

wstring ShlListView::Controller::itemText(int index, int column) const
{
    wchar_t text[CellCapacity + 1] = L"";
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = CellCapacity + 1;
    SendMessageW(inner.getHandle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return wstring(text);
}

void ShlListView::Controller::fillDisplayInfo(NMLVDISPINFOW& request) const
{
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    wstring text;
    try {
        // The request names the item's record; should it not, the list is asked for it.
        auto* shown = reinterpret_cast<const ListItemData*>(item.lParam);
        text = cellText(shown ? *shown : record(item.iItem), item.iSubItem);
    } catch (const Exception&) {
        // A text that cannot be made shows as an empty cell.
    }
    lstrcpynW(item.pszText, text.buffer(), item.cchTextMax);
}

wstring ShlListView::cellText(const ListItemData& record, int column)
{
    switch (column) {
    case NameColumn:
        return record.label;
    case SizeColumn:
        return record.hasSize ? formatKilobytes(record.sizeKB) : wstring();
    case TypeColumn:
        return record.typeName;
    case DateColumn:
        return record.hasTime ? localTimeText(record.lastWrite) : wstring();
    default:
        return wstring();
    }
}

bool ShlListView::Controller::sort(int sortColumn, bool sortAscending)
{
    column = sortColumn;
    ascending = sortAscending;
    return SendMessageW(inner.getHandle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                        reinterpret_cast<LPARAM>(&compareItems)) != 0;
}

int CALLBACK ShlListView::Controller::compareItems(LPARAM first, LPARAM second, LPARAM controller)
{
    auto* self = reinterpret_cast<const Controller*>(controller);
    int result = self->compare(*reinterpret_cast<const ListItemData*>(first),
                               *reinterpret_cast<const ListItemData*>(second));
    return self->ascending ? result : -result;
}

// Folders come before files; then the sort column decides, and items that have no value in it come first.
int ShlListView::Controller::compare(const ListItemData& a, const ListItemData& b) const
{
    bool aFolder = a.attributes & SFGAO_FOLDER;
    bool bFolder = b.attributes & SFGAO_FOLDER;
    if (aFolder != bFolder)
        return aFolder ? -1 : 1;
    auto byLabel = [&] { return sign(a.label.compare(b.label.buffer())); };
    switch (column) {
    case SizeColumn:
        if (a.hasSize != b.hasSize)
            return a.hasSize ? 1 : -1;
        return a.hasSize ? order(a.sizeKB, b.sizeKB) : byLabel();
    case DateColumn:
        if (a.hasTime != b.hasTime)
            return a.hasTime ? 1 : -1;
        return a.hasTime ? order(fileTimeValue(a.lastWrite), fileTimeValue(b.lastWrite)) : byLabel();
    case TypeColumn:
        if (int byType = sign(a.typeName.compare(b.typeName.buffer())))
            return byType;
        return byLabel();
    default:
        return byLabel();
    }
}

// ---- texts ----

wstring labelWithFolder(const wstring& path)
{
    Path item(path);
    wstring folder = Path(combinePath(item.getDirectory(), L".")).getFileName();
    return item.getFileName() + L" (" + folder + L")";
}

ULONGLONG kilobytesOf(ULONGLONG bytes)
{
    return bytes / 1024 + (bytes % 1024 ? 1 : 0);
}

wstring formatKilobytes(ULONGLONG kilobytes)
{
    wchar_t digits[32];
    std::swprintf(digits, 32, L"%llu", kilobytes);
    NUMBERFMTW format{};
    format.NumDigits = 0;
    format.LeadingZero = 0;
    format.Grouping = 3;
    format.lpDecimalSep = const_cast<wchar_t*>(L".");
    format.lpThousandSep = const_cast<wchar_t*>(L",");
    format.NegativeOrder = 1;
    LCID locale = GetThreadLocale();
    int needed = GetNumberFormatW(locale, 0, digits, &format, nullptr, 0);
    if (needed <= 0)
        Exception::throwLastError();
    wstring grouped;
    wchar_t* buffer = grouped.reserve(needed);
    if (GetNumberFormatW(locale, 0, digits, &format, buffer, needed) <= 0)
        Exception::throwLastError();
    return grouped + L" KB";
}
