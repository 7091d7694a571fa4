#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <memory>
#include "foundation/ObjectArray.h"
#include "toolkit/Control.h"

class ShellFolder;

inline constexpr wchar_t ShlTreeViewClassName[] = L"ShlTreeView";

// The folders of the shell's namespace below a root, with the shell's icons; each folder's children are
// read the first time it is expanded (by the user or by the program). The window of class "ShlTreeView"
// holds an inner tree view (child id 101) and a controller in its window property "ShlTreeView", which
// ShlTreeView::GetController returns. Operations throw Exception 1400 once the window is gone.
class ShlTreeView : public ClassControl<ShlTreeViewClassName> {
public:
    static constexpr UINT GetController = WM_USER + 101;
    static constexpr int InnerTreeId = 101;

    // Asked about each child folder before it is shown.
    class ControllerObserver {
    public:
        virtual ~ControllerObserver() = default;
        // The folder is positioned at the candidate child.
        virtual bool include(ShellFolder&) { return true; }
    };

    // One record per child met while expanding (shown or not); the tree item's lParam points at it.
    struct TreeItemData {
        TreeItemData() = default;
        TreeItemData(const TreeItemData&) = delete;
        TreeItemData& operator=(const TreeItemData&) = delete;
        ~TreeItemData() { CoTaskMemFree(idList); }

        SFGAOF attributes = 0;
        // Set once the children have been read.
        bool expanded = false;
        // Absolute; owned.
        LPITEMIDLIST idList = nullptr;
    };

    class Controller {
    public:
        // Show flags: bit 0 folders, bit 1 also folders outside the file system.
        static constexpr int ShowFolders = 1;
        static constexpr int ShowNonFileSystem = 2;

        Controller(HWND owner, HWND tree) : owner(owner), tree(tree) {}
        Controller(const Controller&) = delete;
        Controller& operator=(const Controller&) = delete;
        virtual ~Controller() = default;

        // Empties the tree and shows the folder of that path as its only top item, collapsed, with its
        // children already read. False when an item cannot be inserted.
        bool setRoot(const wstring& path, ControllerObserver* observer);
        // Reads the item's children once; false when one cannot be inserted.
        bool expandItem(HTREEITEM item);
        // Selects the folder of the path (with the TVGN_ code), expanding every level on the way. A folder
        // that no longer exists selects its nearest existing ancestor below the root; a path outside the
        // root selects nothing. Returns the selected item, or null.
        HTREEITEM selectPath(const wstring& path, UINT code);
        // The item's record; an item without one throws Exception 87.
        TreeItemData& record(HTREEITEM item) const;
        void setObserver(ControllerObserver* newObserver) { observer = newObserver; }
        const wstring& rootName() const { return root; }
        int recordCount() const { return items.count(); }

    private:
        void clear();
        TreeItemData& addRecord(SFGAOF attributes, LPITEMIDLIST idList);
        bool isShown(SFGAOF attributes, ShellFolder& folder) const;
        HTREEITEM insertItem(HTREEITEM parent, const wstring& text, TreeItemData& data, int children);
        HTREEITEM search(HTREEITEM parent, LPCITEMIDLIST target);
        // The list of the path, or of its nearest ancestor that the shell can parse; null when none can be.
        LPITEMIDLIST nearestExistingIdList(const wstring& path) const;

        HWND owner;
        HWND tree;
        wstring root;
        int showFlags = ShowFolders | ShowNonFileSystem;
        ObjectArray<TreeItemData> items;
        ControllerObserver* observer = nullptr;
    };

    ShlTreeView() = default;
    ~ShlTreeView() override;

    // ERROR_CLASS_ALREADY_EXISTS counts as success; another failure throws Exception with the system's error.
    static ATOM registerClass();

    // Roots the tree at the folder of the path (a file path, or a parsing name such as "::{...}"); only
    // file-system folders are shown below it.
    bool setPath(const wstring& path);
    HTREEITEM selectPath(const wstring& path, UINT code = TVGN_CARET);
    HTREEITEM getRoot() const;
    HTREEITEM getSelection() const;
    bool expand(HTREEITEM item);
    // The item's parsing name ("::{...}" for folders outside the file system).
    wstring getItemPath(HTREEITEM item) const;
    // The item's path when it is a file-system folder, else empty.
    wstring getItemFileSystemPath(HTREEITEM item) const;
    HWND getTree() const { return getDlgItem(InnerTreeId); }
    Controller& controller() const;

protected:
    // Whether to show the candidate child folder; all are shown unless a derived tree says otherwise.
    virtual bool include(ShellFolder&) { return true; }

private:
    class Observer;
    static LRESULT CALLBACK classProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<ControllerObserver> observer;
};
