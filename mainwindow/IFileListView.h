#pragma once
#include <windows.h>
#include <chrono>
#include "foundation/Exception.h"
#include "foundation/MemPtr.h"
#include "foundation/wstringArray.h"
#include "mainwindow/FileListFeeder.h"
#include "toolkit/Control.h"
#include "toolkit/DroppedFiles.h"
#include "toolkit/EventHandler.h"

// The events of a file list, the index of its handler slot.
enum class FileListEvent : int {
    beforeAdd = 0,      // the feeder offers a file (path); value != 0 stops adding, the file is not inserted
    added = 1,          // the offered file was inserted (path)
    addingFinished = 2, // the feeder has ended: every file offered, or stopped
    addFailed = 3,      // inserting the file threw (path, error; code 2 for a missing file); value != 0 stops
    selectionChanged = 4,
    doubleClick = 5,  // the left button was double-clicked on the list (on an item in the explorer view)
    contextMenu = 6,  // contextMenu: the user asked for the list's menu
    keyDown = 7,      // key, before the list handles it
    filesDropped = 8, // dropped; the list finishes the drop after the event
    command = 9,      // command: a command of a menu the list's window owns
    menuSelect = 10,  // menuSelection: the status help of such a menu
};
inline constexpr int FileListEventCount = 11;

// The file list of the main window as the main pane sees it: the classic list (FileListView) or the
// explorer-browser list (EBFileListView), made by createFileListView (FileListViewFactory.h) and talked to only
// through this interface. The window goes with its parent or with destroy(); an object destroyed first leaves
// a plain list without events behind.
//
// Adding. addFile inserts one path at once, raising nothing. addFiles hands a list of paths to the feeder
// thread, whose offers make the list window take the pending files in turn, as many as fit in a short slice
// of time per offer, so the user-interface thread inserts every file itself between other messages: for each
// path the list raises beforeAdd (a handler may stop the run with a non-zero value), checks that the file
// exists, inserts it and raises added; a file that cannot be inserted raises addFailed with the Exception
// (code 2: missing) and the run goes on unless the handler sets value. addingFinished follows once the run
// has ended, for whatever reason; an addFiles while a run is going replaces that run, and only the new run's
// end is raised. Handlers may show message boxes while the feeder waits. Closing the window stops a running
// feeder and waits for it; no addingFinished follows then.
//
// Events are raised synchronously on the user-interface thread with the list as the sender. A list holds a
// copy of each handler (setEventHandler); an index beyond the eleven throws Exception 87.
//
// Selection. firstSelectedPath starts an iteration over the selected items and nextSelectedPath continues it;
// an empty string ends it, and nextSelectedPath without a started iteration throws Exception 1. The classic
// list goes from the last selected item to the first, and allPaths and selectedPaths give reverse list order
// there too; the explorer-browser list gives the view's order. Callers that need list order must not rely on
// either.
//
// Every operation that talks to the window throws Exception 1400 once the window is gone.
class IFileListView : public Control {
public:
    // The arguments of every file-list event; which fields mean something depends on the event (above).
    class FileListViewEventArgs : public EventArgs {
    public:
        FileListViewEventArgs() = default;
        FileListViewEventArgs(const wstring* path, const Exception* error) : path(path), error(error) {}

        // The handler's answer in the add events: non-zero stops adding.
        IntPtr value;
        // The pending file's path in the add events; null otherwise.
        const wstring* path = nullptr;
        // The caught exception in addFailed; null otherwise.
        const Exception* error = nullptr;
        // contextMenu: where the user asked for the menu, in screen coordinates (nothing to go by when it came
        // from the keyboard), and the window that asked, which gets the menu's commands.
        struct ContextMenu {
            Point screen;
            bool fromKeyboard = false;
            HWND window = nullptr;
        } contextMenu;
        // keyDown: the virtual key.
        UINT key = 0;
        // filesDropped: the files.
        const DroppedFiles* dropped = nullptr;
        // command: the command id and its notification code.
        struct Command {
            int id = 0;
            int code = 0;
        } command;
        // menuSelect: what onMenuSelect got.
        struct MenuSelection {
            UINT item = 0;
            UINT flags = 0;
            HMENU menu = nullptr;
        } menuSelection;
    };
    using Handler = EventHandler<FileListViewEventArgs>;

    // View modes: how the items are labelled or shown.
    enum ViewMode { FullPathView = 0, FileNameView = 1, NameWithFolderView = 2, ContentView = 3, IconView = 4 };

    ~IFileListView() override;

    // Makes the list window (the rectangle holds x, y, width and height); a failure leaves no window and
    // rethrows. The handle is getHandle() afterwards.
    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override = 0;
    // Lists are made, never attached: throws Exception E_NOTIMPL.
    HWND attach(HWND window) override;
    // The window class that create uses; registering it twice is harmless.
    virtual void registerClass() = 0;

    // Report columns 0-3: label, size, type, date.
    virtual void setColumnWidth(int column, int width) = 0;
    virtual int columnWidth(int column) = 0;
    virtual void removeSelected() = 0;
    virtual void removeAll() = 0;
    // ContentView and IconView only in the explorer-browser list (the classic list shows full paths then).
    virtual void setViewMode(int mode) = 0;
    virtual int viewMode() const = 0;
    // Appends one item; a file listed already is not listed twice.
    virtual void addFile(const wstring& path) = 0;
    // Replaces the pending list by copies of the paths and starts the feeder (see above). Called while a
    // handler of this list's add events runs, it throws Exception 1.
    virtual void addFiles(const wstringArray& paths);
    // Removes item index and adds the path; returns the new item's index (the same index in the classic list,
    // the last one in the explorer-browser list).
    virtual int replaceFile(int index, const wstring& path) = 0;
    virtual int count() = 0;
    virtual int selectedCount() = 0;
    // -1 when nothing is selected.
    virtual int firstSelectedIndex() = 0;
    virtual void select(int index) = 0;
    // Selects every item, from the first to the last, which keeps the focus.
    virtual void selectAll();
    virtual void selectAndShow(int index) = 0;
    virtual wstring firstSelectedPath() = 0;
    virtual wstring nextSelectedPath() = 0;
    // Both clear the array first.
    virtual void allPaths(wstringArray& paths) = 0;
    virtual void selectedPaths(wstringArray& paths) = 0;
    virtual wstring itemName(int index) = 0;
    virtual wstring itemPath(int index) = 0;
    // The file name with its folder in brackets, as shown in NameWithFolderView.
    virtual wstring itemCompactPath(int index) = 0;
    // Groups the items by folder; only the explorer-browser list groups.
    virtual void setGrouping(bool on) = 0;
    virtual bool isGrouping() const = 0;
    // A failed copy of the handler throws Exception 8 and leaves the slot empty.
    virtual void setEventHandler(FileListEvent event, const Handler& handler);
    virtual void removeEventHandler(FileListEvent event);

    // What both lists' windows answer alike: WM_DESTROY stops the feeder (no default handling), the cursor is
    // the arrow, and the feeder's messages.
    bool onDestroy() override;
    bool onSetCursor(HWND pointed, UINT hitTest, UINT mouseMessage, bool& halt) override;
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // A window inside the list whose input becomes the list's events: key presses (raised before the window
    // sees them), the commands and the status help of the menus it owns, which never reach the window itself,
    // and dropped files. Made by the shell, it is only attached (to any class) and subclassed.
    class InputWindow : public Control {
    public:
        explicit InputWindow(IFileListView& list) : list(list) {}

        // Throws Exception E_NOTIMPL.
        void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override;
        HWND attach(HWND window) override { return attachControl(nullptr, window); }
        bool onKeyDown(UINT key, UINT repeat, UINT flags) override;
        void onCommand(HWND window, int id, int code) override;
        bool onMenuSelect(UINT item, UINT flags, HMENU menu) override;
        bool onDropFiles(HDROP drop) override;
        // The commands raised by onCommand stop here: the window's own procedure would pass them on to its
        // parent.
        LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    protected:
        void raise(FileListEvent event, FileListViewEventArgs& args) { list.raise(event, args); }
        // Whether left and right step through the items like up and down.
        virtual bool arrowsStepLikeUpAndDown() const { return true; }

    private:
        IFileListView& list;
    };

    // The feeder sleeps this many milliseconds after every offer.
    explicit IFileListView(DWORD feederPause) : feeder(feederPause) {}

    // Nothing without a handler.
    void raise(FileListEvent event, FileListViewEventArgs& args);
    // For WM_DESTROY and the destructors: stops a running feeder and waits for it, serving the messages it
    // sends meanwhile.
    void stopFeeder();
    // A run of the feeder: it begins before the first file is offered and ends before addingFinished is
    // raised (a run replaced by a newer addFiles goes on as the newer one; a window that is closed ends none).
    // While it lasts, showAdding is called now and then, so that the list can show what it has added; a list
    // that shows in steps answers true while a step is left, and each step has an offer of its own.
    virtual void beginAdding() {}
    virtual bool showAdding() { return false; }
    virtual void endAdding() {}
    // Binds the made window to this object and routes its messages here.
    void bindWindow(HWND window);
    // Unbinds and destroys a half-made window after a failed create.
    void abandonWindow(HWND made);

private:
    LRESULT offerPending(WPARAM offeredRun);
    // True when the run is to stop.
    bool offerFile(int index);
    // True when it was due and done.
    bool showAddingWhenDue();
    // True when, at the pace of the run so far, the files left are in before the next showing.
    bool endsSoon(std::chrono::steady_clock::duration now) const;
    void feederEnded(WPARAM run);
    Handler& slot(FileListEvent event);

    Handler handlers[FileListEventCount];
    wstringArray pending;
    // The next pending file to offer.
    int nextPending = 0;
    // When the run started and last showed its rows, and how long it waits before it shows them again.
    std::chrono::steady_clock::duration runStarted{};
    std::chrono::steady_clock::duration lastShown{};
    std::chrono::steady_clock::duration nextShowAfter{};
    // The time the steps of the showing under way have taken so far; set while a step is left.
    std::chrono::steady_clock::duration showTaken{};
    bool showing = false;
    FileListFeeder feeder;
    // Counts the runs, so that the end notice of a run that was stopped by a newer one is known as stale.
    WPARAM run = 0;
    // Set while an add event's handlers run: the feeder then waits for this thread's answer.
    int offering = 0;
};
