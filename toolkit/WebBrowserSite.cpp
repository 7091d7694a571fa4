#include "toolkit/WebBrowserSite.h"

namespace {

template <typename Interface>
HRESULT nothingFor(Interface** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

} // namespace

STDMETHODIMP AxBaseImpl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    return nothingFor(moniker);
}

STDMETHODIMP AxBaseImpl::GetContainer(IOleContainer** container)
{
    return nothingFor(container);
}

STDMETHODIMP AxBaseImpl::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = this->window();
    return S_OK;
}

STDMETHODIMP AxBaseImpl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                          LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (!frame || !document || !position || !clip || !frameInfo)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    GetClientRect(window(), position);
    *clip = *position;
    // The caller sets the record's size.
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = window();
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP WebBrowser::WebClientImpl::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *object = static_cast<IDocHostUIHandler*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) WebBrowser::WebClientImpl::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references));
}

STDMETHODIMP_(ULONG) WebBrowser::WebClientImpl::Release()
{
    LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// S_FALSE lets the browser show its own menu; S_OK tells it the host has dealt with the click.
STDMETHODIMP WebBrowser::WebClientImpl::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return contextMenuAllowed ? S_FALSE : S_OK;
}

STDMETHODIMP WebBrowser::WebClientImpl::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->dwFlags = hostFlags;
    return S_OK;
}
