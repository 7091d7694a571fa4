#pragma once
#include <vector>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <memory>
#include <string>
#include <unordered_map>
#include "foundation/wstring.h"
#include "toolkit/ItemIdList.h"
#include "toolkit/ListView.h"

class ShellFileInfoCache;
class ShellFolderCache;

inline constexpr wchar_t ShlListViewClassName[] = L"ShlListView";

// A report list of chosen files and folders with the shell's icons, type names, sizes in KB and modification
// dates. Items are added one at a time by path; the control never lists a folder by itself. The window of
// class "ShlListView" holds an inner list view (child id 101) and a controller object in its window property
// "ShlListView", which ShlListView::GetController returns. A click on a column header sorts by it (a second
// click on the same column turns the order round); items added later go where their index says. The cells'
// texts come from the items' records whenever the list shows or reads them, so an item costs the list one
// insertion. Operations throw Exception 1400 once the window is gone.
class ShlListView : public ClassControl<ShlListViewClassName> {
public:
    static constexpr UINT GetController = WM_USER + 101;
    static constexpr int InnerListId = 101;
    enum Column { NameColumn, SizeColumn, TypeColumn, DateColumn };
    // How column 0 shows an item.
    enum LabelType { FullPathLabel = 0, FileNameLabel = 1, NameWithFolderLabel = 2 };
    static constexpr SFGAOF ShownAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK |
                                              SFGAO_GHOSTED;

    // One listed item; the list item's lParam points at the record kept in the controller's item map.
    struct ListItemData {
        SFGAOF attributes = 0;
        bool hasSize = false;
        ULONGLONG sizeKB = 0;
        bool hasTime = false;
        FILETIME lastWrite{};
        // Absolute: freed when the item leaves the list.
        OwnedIdList idList;
        // The parsing name (the full path of a file) and its lower-case form, the item map's key.
        wstring path;
        wstring key;
        // The texts of columns 0 and 2, kept so that sorting never has to ask the list for them.
        wstring label;
        wstring typeName;
    };

    // The text of a cell as the list shows it.
    static wstring cellText(const ListItemData& record, int column);

    class Controller {
    public:
        // While one is held, the list is not redrawn; the last one to go redraws it.
        class RedrawPause;

        Controller(HWND owner, HWND innerList);
        Controller(const Controller&) = delete;
        Controller& operator=(const Controller&) = delete;
        virtual ~Controller();

        // False when the item is listed already (whatever the letter case of the path). A path whose file
        // cannot be found in its folder throws Exception 2. A failure leaves neither a row nor a record.
        bool addItem(const wstring& path, int index);

        // A run of many addItem calls: the shell's folders, icons and type names are kept for the run, and the
        // list is not redrawn for each row but only when showAdded is called and once at the end. Runs do not
        // nest: beginAdding during a run changes nothing.
        void beginAdding();
        // Draws the rows added so far, in two steps, one per call: the list is let draw again, which costs it
        // about as long as drawing, and then drawn and held again. True while the second step is left.
        bool showAdded();
        void endAdding();
        bool isAdding() const { return folders != nullptr; }
        // The row and its record go together: an index without a record throws Exception 87 and changes
        // nothing.
        void removeItem(int index);
        void clear();
        void setLabelType(int type);
        int labelType() const { return label; }
        int firstSelected() const;
        bool sort(int column, bool ascending);
        int sortColumn() const { return column; }
        bool isAscending() const { return ascending; }
        // A row without a readable record throws Exception 87.
        const ListItemData& record(int index) const;
        LPCITEMIDLIST itemIdList(int index) const { return record(index).idList.get(); }
        // At most 260 characters of a cell.
        wstring itemText(int index, int column) const;
        int recordCount() const { return static_cast<int>(items.size()); }
        // Fills a cell that the list asks for (LVN_GETDISPINFOW).
        void fillDisplayInfo(NMLVDISPINFOW& request) const;
        ListView& list() { return inner; }
        const ListView& list() const { return inner; }

    private:
        using Records = std::unordered_map<std::wstring, std::unique_ptr<ListItemData>>;

        ListItemData* recordAt(int index) const;
        void insertItem(int index, ListItemData& record, int icon);
        wstring labelOf(const wstring& path) const;
        void forget(const wstring& key);
        void holdRedraw();
        void releaseRedraw();
        static int CALLBACK compareItems(LPARAM first, LPARAM second, LPARAM controller);
        int compare(const ListItemData& a, const ListItemData& b) const;

        HWND owner;
        int label = FullPathLabel;
        int column = NameColumn;
        bool ascending = true;
        // By key: the parsing name in lower case.
        Records items;
        ListView inner;
        int redrawHolds = 0;
        // Set during a run of adding.
        std::unique_ptr<ShellFolderCache> folders;
        std::unique_ptr<ShellFileInfoCache> fileInfo;
    };

    // ERROR_CLASS_ALREADY_EXISTS counts as success; another failure throws Exception with the system's error.
    static ATOM registerClass();
    // Memory that runs out while the window is built throws Exception 8 and leaves no window.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;

    bool setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    // An empty path throws Exception 87; index -1 appends.
    bool addItem(const wstring& path, int index);
    int itemCount() const;
    int selectedCount() const;
    bool isItemSelected(int index) const;
    // The selected items from `from` up to (not including) `to`, in ascending order; one message to the list per
    // item found, however many lie between them.
    void selectedIndices(int from, int to, std::vector<int>& found) const;
    // Selects and focuses.
    bool selectItem(int index);
    wstring itemPath(int index) const;
    wstring itemName(int index) const;
    wstring itemNameWithFolder(int index) const;
    HWND innerList() const { return getDlgItem(InnerListId); }
    Controller& controller() const;

private:
    static LRESULT CALLBACK classProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class ShlListView::Controller::RedrawPause {
public:
    explicit RedrawPause(Controller& controller) : controller(controller) { controller.holdRedraw(); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    ~RedrawPause() { controller.releaseRedraw(); }

private:
    Controller& controller;
};

// "a.png (pictures)": the file name and, in brackets, the last component of its folder.
wstring labelWithFolder(const wstring& path);
// Whole KB, a started KB counting as one.
ULONGLONG kilobytesOf(ULONGLONG bytes);
// The count grouped by threes with "," in the thread's locale, then " KB": "1,500 KB".
wstring formatKilobytes(ULONGLONG kilobytes);
