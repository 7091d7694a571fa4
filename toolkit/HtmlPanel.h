#pragma once
#include "foundation/ComPtr.h"
#include "toolkit/Control.h"
#include "toolkit/EventHandler.h"
#include "toolkit/WebBrowser.h"

inline constexpr wchar_t HtmlPanelClassName[] = L"HtmlPanel";

// The program's own "HtmlPanel" control: a page of HTML held in memory (a resource, for example) shown in a
// read-only web browser, its child 101, which opens no link or new window, shows no context menu and takes no
// drop. A page is loaded in steps: the browser opens a blank document, then reads the bytes into it. The end
// of every load is the panel's event, success or failure; a load that fails, or of which the browser says
// nothing for SilenceTimeout milliseconds (a system without an HTML engine), ends as a failure. The browser
// object lives in the panel's property "HtmlPanel" (GetBrowserMessage answers it). Operations throw
// Exception 1400 once the window is gone.
class HtmlPanel : public Control {
public:
    static constexpr int BrowserId = 101;
    static constexpr UINT GetBrowserMessage = WM_USER + 101;
    // Posted to the panel at the end of a load: wParam 0 for success, 1 for failure.
    static constexpr UINT LoadedMessage = WM_USER + 1;
    // Posted to the panel when the blank document is ready for the bytes.
    static constexpr UINT LoadPendingMessage = WM_USER + 2;
    static constexpr UINT SilenceTimeout = 5000;

    class HtmlPanelEventArgs : public EventArgs {
    public:
        explicit HtmlPanelEventArgs(bool succeeded) : succeeded(succeeded) {}
        bool succeeded;
    };

    // The panel's browser: it drives the steps of a load from the browser's events.
    class ReadOnlyWB : public WebBrowser {
    public:
        explicit ReadOnlyWB(HWND panel) : panel(panel) {}
        ~ReadOnlyWB() override;

        // Opens a blank document for the bytes, which wait in a stream of their own.
        void loadText(const void* bytes, UINT count);
        // Reads the waiting bytes into the blank document.
        void loadPending();
        // A load that hears nothing from the browser for SilenceTimeout has failed.
        bool onTimer(UINT_PTR id) override;
        LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        bool isLoading() const { return !blankReady || !contentLoaded; }
        // Each word from the browser gives the load another SilenceTimeout.
        void watch();
        void stopWatching();
        void finish(bool succeeded);

        HWND panel;
        bool blankReady = true;
        bool contentLoaded = true;
        ComPtr<IStream> pending;
    };

    // Registers "WebBrowser", then "HtmlPanel". A class already registered counts as registered; another
    // failure throws Exception with the system's error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(HtmlPanelClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(HtmlPanelClassName, window); }

    // The page's look: its text cannot be selected and it shows scroll bars. True when the browser took it.
    bool setRedraw();
    // Starts loading the bytes; null throws Exception 87 and changes nothing.
    void setText(const void* bytes, UINT count);
    // A new reference to the shown document, which the caller releases; null while there is none.
    IDispatch* getDocument() const;
    // Keeps a copy of the handler; out of memory throws Exception 8.
    void setEventHandler(const EventHandler<HtmlPanelEventArgs>& handler) { loadHandler = handler; }
    // Nothing without a handler; null arguments throw Exception 87.
    virtual void raiseEvent(HtmlPanelEventArgs* args) { loadHandler.raiseEvent(this, args); }

    // Once subclassed: raises the event for LoadedMessage.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ReadOnlyWB& browser() const;

    EventHandler<HtmlPanelEventArgs> loadHandler;
};
