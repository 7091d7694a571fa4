#include "mainwindow/FileListView.h"
#include <shellapi.h>
#include <uxtheme.h>
#include <algorithm>
#include "foundation/Environment.h"

namespace {

// Items of the list looked at in one step of the selected-path walk.
constexpr int WalkStretch = 64;

} // namespace

class FileListView::OneSelectionNotice {
public:
    explicit OneSelectionNotice(FileListView& list) : list(list)
    {
        list.selectionHeld = true;
        list.selectionChangedMeanwhile = false;
    }
    OneSelectionNotice(const OneSelectionNotice&) = delete;
    OneSelectionNotice& operator=(const OneSelectionNotice&) = delete;
    ~OneSelectionNotice()
    {
        list.selectionHeld = false;
        if (!list.selectionChangedMeanwhile)
            return;
        FileListViewEventArgs args;
        routeExceptions(&list, 0, [&] { return list.raise(FileListEvent::selectionChanged, args), LRESULT(0); });
    }

private:
    FileListView& list;
};

FileListView::~FileListView()
{
    stopFeeder();
    // A window that outlives its list object is left drawing again.
    endAdding();
}

void FileListView::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    try {
        shell.create(parent, id, rect, exStyle, style);
        HWND list = shell.innerList();
        inner.attach(list);
        inner.modifyStyle(0, LVS_SHOWSELALWAYS);
        DragAcceptFiles(list, TRUE);
        inner.sendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        if (isWindowsVistaOrLater())
            SetWindowTheme(list, L"explorer", nullptr);
        inner.subclass();
        bindWindow(shell.getHandle());
    } catch (...) {
        inner.attach(nullptr);
        abandonWindow(shell.attach(nullptr));
        throw;
    }
}

// The shell list view's own procedure still sees WM_DESTROY and frees its records.
bool FileListView::onDestroy()
{
    adding = nullptr;
    return IFileListView::onDestroy();
}

bool FileListView::onNotify(const NMHDR& header, LRESULT&)
{
    if (header.hwndFrom != inner.getHandle() || header.code != LVN_ITEMCHANGED)
        return false;
    selectionChangedMeanwhile = true;
    if (selectionHeld)
        return true;
    FileListViewEventArgs args;
    raise(FileListEvent::selectionChanged, args);
    return true;
}

// The menu belongs to the list control even when the user clicked a child of it (the column headers).
bool FileListView::InnerListView::onContextMenu(HWND, const Point& screen, bool fromKeyboard)
{
    FileListViewEventArgs args;
    args.contextMenu = {screen, fromKeyboard, hwnd};
    raise(FileListEvent::contextMenu, args);
    return true;
}

// The control itself never sees the double click, so it starts no activation of its own.
bool FileListView::InnerListView::onDoubleClick(MouseButton button, const Point&, UINT)
{
    if (button != MouseButton::Left)
        return false;
    FileListViewEventArgs args;
    raise(FileListEvent::doubleClick, args);
    return true;
}

void FileListView::addFile(const wstring& path)
{
    if (adding && !path.isEmpty())
        adding->addItem(path, -1);
    else
        shell.addItem(path, -1);
}

void FileListView::beginAdding()
{
    if (!adding) {
        adding = &shell.controller();
        adding->beginAdding();
    }
}

bool FileListView::showAdding()
{
    return adding && adding->showAdded();
}

void FileListView::endAdding()
{
    if (adding)
        adding->endAdding();
    adding = nullptr;
}

void FileListView::selectAll()
{
    ShlListView::Controller& controller = shell.controller();
    int last = controller.list().getItemCount() - 1;
    if (last < 0)
        return;
    // Drawn and reported item by item, selecting takes far longer than the selecting itself.
    OneSelectionNotice notice(*this);
    ShlListView::Controller::RedrawPause pause(controller);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    inner.sendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    controller.list().select(last);
}

void FileListView::removeSelected()
{
    OneSelectionNotice notice(*this);
    ShlListView::Controller& controller = shell.controller();
    // Item by item, the list moves its focus along with every removal, which it takes long to do: a list
    // removed whole is emptied in one go.
    int count = shell.itemCount();
    if (count > 0 && shell.selectedCount() == count) {
        controller.clear();
        return;
    }
    ShlListView::Controller::RedrawPause pause(controller);
    for (int i = count - 1; i >= 0; --i) {
        if (shell.isItemSelected(i))
            controller.removeItem(i);
    }
}

void FileListView::removeAll()
{
    OneSelectionNotice notice(*this);
    shell.controller().clear();
}

int FileListView::replaceFile(int index, const wstring& path)
{
    shell.controller().removeItem(index);
    shell.addItem(path, index);
    return index;
}

void FileListView::selectAndShow(int index)
{
    select(index);
    inner.sendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void FileListView::resetIteration()
{
    unseen = -1;
    stretch.clear();
}

wstring FileListView::firstSelectedPath()
{
    resetIteration();
    unseen = shell.itemCount();
    return nextSelectedPath();
}

wstring FileListView::nextSelectedPath()
{
    if (unseen < 0)
        throw Exception(ErrorCode::InvalidState);
    while (stretch.empty() && unseen > 0) {
        int from = std::max(unseen - WalkStretch, 0);
        shell.selectedIndices(from, unseen, stretch);
        unseen = from;
    }
    if (stretch.empty()) {
        resetIteration();
        return wstring();
    }
    int index = stretch.back();
    stretch.pop_back();
    return shell.itemPath(index);
}

void FileListView::collectPaths(wstringArray& paths, bool selectedOnly)
{
    paths.removeAll();
    for (int i = shell.itemCount() - 1; i >= 0; --i) {
        if (!selectedOnly || shell.isItemSelected(i))
            paths.add(shell.itemPath(i));
    }
}

void FileListView::allPaths(wstringArray& paths)
{
    collectPaths(paths, false);
}

void FileListView::selectedPaths(wstringArray& paths)
{
    collectPaths(paths, true);
}
