#include "toolkit/WebBrowser.h"
#include <new>
#include "foundation/IUnknownImpl.h"
#include "foundation/Variant.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"
#include "toolkit/WebBrowserSite.h"

namespace {

constexpr wchar_t PropertyName[] = L"WebBrowser";

// Turns the browser's events into messages to the owner window: WM_USER + the dispatch id, with the
// argument count and the arguments.
class EventSink : public IUnknownImpl<IDispatch> {
public:
    explicit EventSink(HWND owner) : owner(owner) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        // The events' dispatch interface is answered by the same object: some connection points ask for it.
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) &&
            !IsEqualIID(iid, DIID_DWebBrowserEvents2))
            return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        if (id <= 0)
            return E_NOTIMPL;
        if (!parameters)
            return E_POINTER;
        SendMessageW(owner, WM_USER + static_cast<UINT>(id), parameters->cArgs,
                     reinterpret_cast<LPARAM>(parameters->rgvarg));
        return S_OK;
    }

private:
    ~EventSink() override = default;

    HWND owner;
};

WebBrowser::Controller* controllerOf(HWND window)
{
    return static_cast<WebBrowser::Controller*>(GetPropW(window, PropertyName));
}

LRESULT createController(HWND window)
{
    WebBrowser::Controller* controller = new (std::nothrow) WebBrowser::Controller(window);
    if (!controller)
        return -1;
    if (!SetPropW(window, PropertyName, controller)) {
        delete controller;
        return -1;
    }
    return 0;
}

// The browser's Cancel argument, which comes last in the event and so first in the array.
void cancelNavigation(WPARAM count, LPARAM arguments)
{
    auto* argument = reinterpret_cast<VARIANTARG*>(arguments);
    if (count < 1 || !argument || argument->vt != (VT_BYREF | VT_BOOL) || !argument->pboolVal)
        return;
    *argument->pboolVal = VARIANT_TRUE;
}

bool hasDocument(const WebBrowser::Controller& controller)
{
    IDispatch* document = nullptr;
    if (FAILED(controller.browser->get_Document(&document)) || !document)
        return false;
    document->Release();
    return true;
}

LRESULT CALLBACK browserProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        try {
            return createController(window);
        } catch (const Exception&) {
            return -1;
        }
    }
    WebBrowser::Controller* controller = controllerOf(window);
    if (!controller)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        RemovePropW(window, PropertyName);
        delete controller;
        return 0;
    case WM_SIZE:
        controller->resize();
        return 0;
    case WebBrowser::GetControllerMessage:
        return reinterpret_cast<LRESULT>(controller);
    case WebBrowser::BeforeNavigateMessage:
    case WebBrowser::NewWindowMessage:
        // The first document always comes in; after it, nothing leaves.
        if (!controller->navigationAllowed && hasDocument(*controller)) {
            cancelNavigation(wParam, lParam);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

WebBrowser::Controller::Controller(HWND owner) : owner(owner)
{
    try {
        Exception::check(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IWebBrowser2,
                                          browser.outVoid()));
        site = new (std::nothrow) WebClientImpl(owner);
        if (!site)
            throwOutOfMemory();
        connectEvents();
        activate();
    } catch (...) {
        release();
        throw;
    }
}

WebBrowser::Controller::~Controller()
{
    release();
}

void WebBrowser::Controller::connectEvents()
{
    ComPtr<IConnectionPointContainer> container;
    Exception::check(browser->QueryInterface(IID_IConnectionPointContainer, container.outVoid()));
    Exception::check(container->FindConnectionPoint(DIID_DWebBrowserEvents2, connection.out()));
    auto* sink = new (std::nothrow) EventSink(owner);
    if (!sink)
        throwOutOfMemory();
    HRESULT result = connection->Advise(sink, &cookie);
    sink->Release();
    if (FAILED(result)) {
        connection.release();
        cookie = 0;
        throw Exception(static_cast<int>(result));
    }
}

void WebBrowser::Controller::activate()
{
    Exception::check(browser->QueryInterface(IID_IOleObject, oleObject.outVoid()));
    Exception::check(oleObject->QueryInterface(IID_IOleInPlaceObject, inPlaceObject.outVoid()));
    Exception::check(oleObject->SetClientSite(site));
    RECT client;
    GetClientRect(owner, &client);
    Exception::check(oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, owner, &client));
}

// In the reverse order of construction; runs on a half-made controller too.
void WebBrowser::Controller::release()
{
    if (inPlaceObject) {
        inPlaceObject->InPlaceDeactivate();
        inPlaceObject.release();
    }
    if (oleObject) {
        oleObject->Close(OLECLOSE_NOSAVE);
        oleObject->SetClientSite(nullptr);
        oleObject.release();
    }
    if (connection) {
        connection->Unadvise(cookie);
        connection.release();
        cookie = 0;
    }
    if (site) {
        site->Release();
        site = nullptr;
    }
    browser.release();
}

void WebBrowser::Controller::navigate(const wchar_t* url)
{
    Variant target(url);
    VARIANT empty;
    VariantInit(&empty);
    Exception::check(browser->Navigate2(const_cast<VARIANT*>(&target.get()), &empty, &empty, &empty, &empty));
}

void WebBrowser::Controller::loadStream(IStream* stream)
{
    if (!stream)
        throw Exception(ErrorCode::InvalidArgument);
    ComPtr<IDispatch> shown(document());
    if (!shown)
        throw Exception(ErrorCode::InvalidState);
    ComPtr<IPersistStreamInit> persist;
    Exception::check(shown->QueryInterface(IID_IPersistStreamInit, persist.outVoid()));
    Exception::check(persist->Load(stream));
}

IDispatch* WebBrowser::Controller::document() const
{
    IDispatch* shown = nullptr;
    Exception::check(browser->get_Document(&shown));
    return shown;
}

void WebBrowser::Controller::resize()
{
    if (!inPlaceObject)
        return;
    RECT client;
    GetClientRect(owner, &client);
    inPlaceObject->SetObjectRects(&client, &client);
}

void WebBrowser::registerClass()
{
    registerControlClass(WebBrowserClassName, browserProcedure, CS_DBLCLKS,
                         static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

WebBrowser::Controller& WebBrowser::controller() const
{
    auto* held = reinterpret_cast<Controller*>(sendMessage(GetControllerMessage));
    if (!held)
        throw Exception(ErrorCode::WindowGone);
    return *held;
}

void WebBrowser::disableContextMenu()
{
    controller().site->contextMenuAllowed = false;
}

void WebBrowser::setSilent()
{
    Exception::check(controller().browser->put_Silent(VARIANT_TRUE));
}

void WebBrowser::disableDropTarget()
{
    Exception::check(controller().browser->put_RegisterAsDropTarget(VARIANT_FALSE));
}

void WebBrowser::setHostFlags(DWORD flags)
{
    controller().site->hostFlags = flags;
}

void WebBrowser::setEventHandler(Event event, const EventHandler<ComEventArgs>& handler)
{
    if (event < 0 || event >= EventCount)
        throw Exception(ErrorCode::InvalidArgument);
    handlers[event] = handler;
}

LRESULT WebBrowser::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static constexpr struct {
        UINT message;
        Event event;
    } raised[] = {{BeforeNavigateMessage, BeforeNavigateEvent},
                  {NewWindowMessage, NewWindowEvent},
                  {NavigateCompleteMessage, NavigateCompleteEvent},
                  {DocumentCompleteMessage, DocumentCompleteEvent},
                  {NavigateErrorMessage, NavigateErrorEvent}};
    for (const auto& entry : raised) {
        if (entry.message != message)
            continue;
        ComEventArgs args(static_cast<UINT>(wParam), reinterpret_cast<VARIANTARG*>(lParam));
        try {
            raiseEvent(entry.event, &args);
        } catch (const Exception&) {
            // The browser still gets its answer from the window.
        }
        break;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}
