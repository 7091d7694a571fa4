#pragma once
#include <vector>
#include "mainwindow/IFileListView.h"
#include "toolkit/ShlListView.h"

// The classic file list: a shell list view (toolkit/ShlListView.h) whose inner list control turns clicks,
// keys, menus and dropped files into the file-list events. View modes 1 and 2 label the items by file name
// and by file name with folder, every other mode by full path. The selection iteration, allPaths and
// selectedPaths go from the last item to the first.
class FileListView : public IFileListView {
public:
    FileListView() : IFileListView(0) {}
    ~FileListView() override;

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
    void registerClass() override { ShlListView::registerClass(); }
    void setColumnWidth(int column, int width) override { shell.setColumnWidth(column, width); }
    int columnWidth(int column) override { return shell.columnWidth(column); }
    void removeSelected() override;
    void removeAll() override;
    void setViewMode(int mode) override { shell.controller().setLabelType(mode); }
    int viewMode() const override { return shell.controller().labelType(); }
    void addFile(const wstring& path) override;
    int replaceFile(int index, const wstring& path) override;
    int count() override { return shell.itemCount(); }
    int selectedCount() override { return shell.selectedCount(); }
    int firstSelectedIndex() override { return shell.controller().firstSelected(); }
    void select(int index) override { shell.selectItem(index); }
    void selectAll() override;
    void selectAndShow(int index) override;
    wstring firstSelectedPath() override;
    wstring nextSelectedPath() override;
    void allPaths(wstringArray& paths) override;
    void selectedPaths(wstringArray& paths) override;
    wstring itemName(int index) override { return shell.itemName(index); }
    wstring itemPath(int index) override { return shell.itemPath(index); }
    wstring itemCompactPath(int index) override { return shell.itemNameWithFolder(index); }
    void setGrouping(bool) override {}
    bool isGrouping() const override { return false; }

    bool onDestroy() override;
    bool onNotify(const NMHDR& header, LRESULT& result) override;

protected:
    void beginAdding() override;
    bool showAdding() override;
    void endAdding() override;

private:
    // The inner list control: its input becomes the list's events, its context menu and double clicks too.
    class InnerListView : public InputWindow {
    public:
        explicit InnerListView(FileListView& list) : InputWindow(list) {}
        bool onContextMenu(HWND clicked, const Point& screen, bool fromKeyboard) override;
        bool onDoubleClick(MouseButton button, const Point& client, UINT keys) override;
    };

    // Holds back the selection notices of a change to many items; the change ends with one notice, when the
    // selection changed.
    class OneSelectionNotice;

    void collectPaths(wstringArray& paths, bool selectedOnly);
    void resetIteration();

    ShlListView shell;
    // The shell list's controller while the feeder runs; it goes with the window.
    ShlListView::Controller* adding = nullptr;
    bool selectionHeld = false;
    bool selectionChangedMeanwhile = false;
    InnerListView inner{*this};
    // The selected-path walk, from the last item to the first, a stretch of the list at a time, so that no step of
    // it asks the list about every item: the items not yet looked at lie below `unseen` (-1 when idle), and the
    // selected ones of the stretch looked at last wait in `stretch`, the next at its back.
    int unseen = -1;
    std::vector<int> stretch;
};
