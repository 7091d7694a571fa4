#pragma once
#include <windows.h>
#include <shobjidl.h>
#include "foundation/ComPtr.h"
#include "foundation/StringKeyCollection.h"
#include "toolkit/Control.h"
#include "toolkit/EventHandler.h"

inline constexpr wchar_t ExplorerBrowserClassName[] = L"ExplorerBrowser";

// The system's explorer browser hosted as a control that shows a chosen set of files, added one at a time by
// path, in the shell's own item view (details, content and icon views, grouping, the shell's columns). It
// starts from an empty results folder, so it never navigates by itself. Dragging and in-place renaming of
// items are suppressed and the browser's extra panes are forced off; a right click, a change of selection, a
// rename and the default command become the control's four events.
//
// The window of class "ExplorerBrowser" keeps its controller in the window property "ExplorerBrowser",
// returned by message ExplorerBrowser::GetController. Where the system's browser cannot show a results folder
// the window cannot be created: create throws the browser's HRESULT and leaves no window (canShowFiles tells
// beforehand); memory that runs out meanwhile throws Exception 8, also leaving no window. Operations throw
// Exception 1400 once the window is gone and a failing HRESULT as its code.
class ExplorerBrowser : public ClassControl<ExplorerBrowserClassName> {
public:
    static constexpr UINT GetController = 2048;
    // Sent to the window with the event's code (wParam 1-4) by the browser's site and the items window.
    static constexpr UINT HostEvent = WM_USER + 1;
    enum Event { ContextMenuEvent, SelectionChangedEvent, RenameEvent, DefaultCommandEvent, EventCount };
    static constexpr SFGAOF ShownAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_SHARE | SFGAO_LINK |
                                              SFGAO_GHOSTED;

    struct ItemData {
        SFGAOF attributes;
        // Owned reference.
        IShellItem2* item;
    };

    class ICommDlgBrowserImpl;

    class Controller {
    public:
        // Builds and fills the browser in the owner's client area; a failing step throws its HRESULT (or the
        // system's error) and leaves nothing behind.
        explicit Controller(HWND owner);
        Controller(const Controller&) = delete;
        Controller& operator=(const Controller&) = delete;
        virtual ~Controller();

        void setEmptyText(const wstring& text);
        void setColumns(const PROPERTYKEY (&keys)[4]);
        void setColumnWidth(const PROPERTYKEY& key, int width);
        int columnWidth(const PROPERTYKEY& key);
        // False when the item is shown already (whatever the letter case of the path); an empty path throws
        // Exception 87, a path that names nothing in its folder Exception 2. A failure shows nothing new.
        bool addPath(const wstring& path);
        // An item the controller does not hold throws Exception 87. removeItems looks every item up before
        // it removes any, so the view and the controller's items stay in step.
        void removeItem(int index);
        void removeItems(IShellItemArray* items);
        void removeAll();
        wstring itemPathAt(int index);
        // A new reference.
        IPropertyStore* propertyStoreAt(int index);

        IExplorerBrowser* browser() const;
        IShellView* shellView() const;
        IFolderView2* folderView() const;
        HWND itemsWindow() const { return items; }
        bool isListViewMode() const { return listViewMode; }

    private:
        static LRESULT CALLBACK itemsProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
        LRESULT itemsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
        bool pressesItem(LPARAM clientPoint) const;
        void build();
        void subclassItemsWindow();
        void releaseBrowser();
        void forgetItems();
        IResultsFolder* results() const;

        StringKeyCollection<ItemData> shown{6765};
        HWND owner;
        bool listViewMode = false;
        WNDPROC previousItemsProcedure = nullptr;
        LPARAM pressPoint = 0;
        ICommDlgBrowserImpl* site = nullptr;
        ComPtr<IExplorerBrowser> explorer;
        ComPtr<IShellView> view;
        ComPtr<IFolderView2> folder;
        ComPtr<IResultsFolder> resultsFolder;
        HWND items = nullptr;
    };

    // ERROR_CLASS_ALREADY_EXISTS counts as success; another failure throws Exception with the system's error.
    static ATOM registerClass();
    // Whether the system's browser can be built and filled here: builds one in a hidden window.
    static bool canShowFiles();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;

    void setFolderSettings(const FOLDERSETTINGS& settings);
    void setViewMode(UINT mode);
    void setIconView();
    void setGroupBy(const PROPERTYKEY& key);
    int itemCount() const;
    void selectItem(int index, DWORD flags);
    int selectedCount() const;
    // -1 when nothing is selected.
    int firstSelected() const;
    wstring itemPath(int index) const;
    // New references; selectedItems is null when nothing is selected.
    IShellItemArray* allItems() const;
    IShellItemArray* selectedItems() const;
    // Keeps a copy of the handler for the event (ExplorerBrowser::Event); an index beyond the four throws
    // Exception 87 and changes nothing.
    void setEventHandler(int index, const EventHandler<EventArgs>& handler);
    // Raises the event that HostEvent's wParam (1-4) stands for; an unbound event does nothing.
    void raiseHostEvent(WPARAM code);
    Controller& controller() const;

    // HostEvent raises the event; everything goes on to the window's own procedure.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK classProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    EventHandler<EventArgs> events[EventCount];
};

// The item's SIGDN_DESKTOPABSOLUTEPARSING name (the full path of a file); a null name throws Exception 87.
wstring shellItemParsingName(IShellItem* item);
