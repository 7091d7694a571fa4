#pragma once
#include <windows.h>
#include <propkeydef.h>
#include "mainwindow/IFileListView.h"
#include "mainwindow/ShellItemIteration.h"
#include "toolkit/ExplorerBrowser.h"

// The file list in the system's explorer browser (toolkit/ExplorerBrowser.h): the shell's own columns,
// content and icon views and grouping by folder. Column 0 shows the full path, the file name or the narrow
// path by view mode; content view (3) and icon view (4) switch the shell's view. Input reaches the file-list
// events through the view's inner window. The selection iteration and both path lists follow the view's
// order; replaceFile puts the new item last.
class EBFileListView : public IFileListView {
public:
    EBFileListView() : IFileListView(1) {}
    ~EBFileListView() override;

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    void registerClass() override { ExplorerBrowser::registerClass(); }
    void setColumnWidth(int column, int width) override;
    int columnWidth(int column) override;
    void removeSelected() override;
    void removeAll() override { host.controller().removeAll(); }
    void setViewMode(int mode) override;
    int viewMode() const override { return mode; }
    void addFile(const wstring& path) override { host.controller().addPath(path); }
    int replaceFile(int index, const wstring& path) override;
    int count() override { return host.itemCount(); }
    int selectedCount() override { return host.selectedCount(); }
    int firstSelectedIndex() override { return host.firstSelected(); }
    void select(int index) override { host.selectItem(index, SVSI_SELECT); }
    void selectAndShow(int index) override { host.selectItem(index, SVSI_SELECT | SVSI_ENSUREVISIBLE); }
    wstring firstSelectedPath() override { return iteration.first(host.selectedItems()); }
    wstring nextSelectedPath() override { return iteration.next(); }
    void allPaths(wstringArray& paths) override;
    void selectedPaths(wstringArray& paths) override;
    wstring itemName(int index) override;
    wstring itemPath(int index) override { return host.itemPath(index); }
    wstring itemCompactPath(int index) override;
    void setGrouping(bool on) override;
    bool isGrouping() const override { return grouping; }

    // The host's events (ExplorerBrowser::HostEvent), the program's own message.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The shell view's inner window; in the icon view left and right keep their own meaning.
    class InnerView : public InputWindow {
    public:
        explicit InnerView(EBFileListView& list) : InputWindow(list), owner(list) {}
        bool onDoubleClick(MouseButton button, const Point& client, UINT keys) override;

    protected:
        bool arrowsStepLikeUpAndDown() const override { return owner.mode != IconView; }

    private:
        EBFileListView& owner;
    };

    void onHostContextMenu(Window* sender, EventArgs& args);
    void onHostSelectionChanged(Window* sender, EventArgs& args);
    void subclassInnerView();
    void releaseInnerView();
    void setColumnsOfMode();
    wstring propertyText(int index, const PROPERTYKEY& key);

    ExplorerBrowser host;
    int mode = FullPathView;
    bool grouping = false;
    ShellItemIteration iteration;
    // The shell view's inner window, whose input becomes the list's events.
    InnerView inner{*this};
};

// The shell property a report column shows in a view mode: column 0 the item path (modes 0, 3 and 4), the
// file name (1) or the narrow path (2); columns 1-3 size, type and date modified. Another column throws
// Exception 87.
const PROPERTYKEY& fileListColumnKey(int viewMode, int column);
