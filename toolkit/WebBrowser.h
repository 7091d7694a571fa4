#pragma once
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include "foundation/ComPtr.h"
#include "toolkit/Control.h"
#include "toolkit/EventHandler.h"

inline constexpr wchar_t WebBrowserClassName[] = L"WebBrowser";

// The arguments of one event of the browser, as its dispatch interface hands them over: the last argument
// first. Valid only while the event is handled.
class ComEventArgs : public EventArgs {
public:
    ComEventArgs(UINT count, VARIANTARG* arguments) : count(count), arguments(arguments) {}

    UINT count;
    VARIANTARG* arguments;
};

// The system's web browser object hosted in a window of class "WebBrowser", which is its client site and
// document host. The browser's events arrive at the window as WM_USER + their dispatch id (wParam the
// argument count, lParam the arguments); a subclassed wrapper raises five of them as events. Once navigation
// is disabled, the browser shows the document it has and opens nothing else: no link, no new window.
//
// The window keeps its controller in the property "WebBrowser" (GetControllerMessage answers it); the window
// cannot be made where the browser object cannot be made or activated. Operations throw Exception 1400 once
// the window is gone and a failing HRESULT as its code.
class WebBrowser : public Control {
public:
    static constexpr UINT GetControllerMessage = 2048;
    static constexpr UINT BeforeNavigateMessage = WM_USER + DISPID_BEFORENAVIGATE2;
    static constexpr UINT NewWindowMessage = WM_USER + DISPID_NEWWINDOW2;
    static constexpr UINT NavigateCompleteMessage = WM_USER + DISPID_NAVIGATECOMPLETE2;
    static constexpr UINT DocumentCompleteMessage = WM_USER + DISPID_DOCUMENTCOMPLETE;
    static constexpr UINT NavigateErrorMessage = WM_USER + DISPID_NAVIGATEERROR;
    enum Event { BeforeNavigateEvent, NewWindowEvent, NavigateCompleteEvent, DocumentCompleteEvent,
                 NavigateErrorEvent, EventCount };

    class WebClientImpl;

    class Controller {
    public:
        // Makes the browser, its client site and its event connection, and activates it in the owner window;
        // a failing step throws its HRESULT (8 when out of memory) and leaves nothing behind.
        explicit Controller(HWND owner);
        Controller(const Controller&) = delete;
        Controller& operator=(const Controller&) = delete;
        virtual ~Controller();

        void navigate(const wchar_t* url);
        // Loads the document shown from the stream; a null stream throws Exception 87, a browser without a
        // document Exception 1.
        void loadStream(IStream* stream);
        // A new reference; null while the browser has no document.
        IDispatch* document() const;
        void resize();

        HWND owner;
        ComPtr<IWebBrowser2> browser;
        WebClientImpl* site = nullptr;
        ComPtr<IConnectionPoint> connection;
        ComPtr<IOleObject> oleObject;
        ComPtr<IOleInPlaceObject> inPlaceObject;
        DWORD cookie = 0;
        bool navigationAllowed = true;

    private:
        void connectEvents();
        void activate();
        void release();
    };

    // A class already registered counts as registered; another failure throws Exception with the system's
    // error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(WebBrowserClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(WebBrowserClassName, window); }

    Controller& controller() const;
    // A new reference to the shown document, which the caller releases; null while there is none.
    IDispatch* getDocument() const { return controller().document(); }
    void disableContextMenu();
    // No script error boxes.
    void setSilent();
    void disableNavigation() { controller().navigationAllowed = false; }
    void disableDropTarget();
    // DOCHOSTUIFLAG_ bits.
    void setHostFlags(DWORD flags);

    void setEventHandler(Event event, const EventHandler<ComEventArgs>& handler);
    // Nothing without a handler; null arguments throw Exception 87.
    virtual void raiseEvent(Event event, ComEventArgs* args) { handlers[event].raiseEvent(this, args); }

    // Once subclassed: raises the events, then lets the window handle every message.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    EventHandler<ComEventArgs> handlers[EventCount];
};
