#include "toolkit/ExplorerBrowserSite.h"
#include <shlobj.h>

namespace {

const GUID* const Panes[] = {&EP_NavPane,     &EP_Commands,    &EP_Commands_Organize, &EP_Commands_View,
                             &EP_DetailsPane, &EP_PreviewPane, &EP_QueryPane,         &EP_AdvQueryPane};

} // namespace

STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IServiceProvider))
        *object = static_cast<IServiceProvider*>(this);
    else if (IsEqualIID(iid, IID_ICommDlgBrowser))
        *object = static_cast<ICommDlgBrowser*>(this);
    else if (IsEqualIID(iid, IID_IExplorerPaneVisibility))
        *object = static_cast<IExplorerPaneVisibility*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ExplorerBrowser::ICommDlgBrowserImpl::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references));
}

STDMETHODIMP_(ULONG) ExplorerBrowser::ICommDlgBrowserImpl::Release()
{
    LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// The browser asks its frame for these two services, the first by the frame's service id, which is the
// interface id of ICommDlgBrowser.
STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::QueryService(REFGUID service, REFIID iid, void** object)
{
    if (IsEqualGUID(service, IID_ICommDlgBrowser) || IsEqualGUID(service, IID_IExplorerPaneVisibility))
        return QueryInterface(iid, object);
    if (object)
        *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::OnDefaultCommand(IShellView*)
{
    switch (defaultCommandMode) {
    case 0:
        return S_OK;
    case 1:
        SendMessageW(owner, HostEvent, DefaultCommandEvent + 1, 0);
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::OnStateChange(IShellView*, ULONG change)
{
    if (change != CDBOSC_SELCHANGE && change != CDBOSC_RENAME)
        return E_NOTIMPL;
    SendMessageW(owner, HostEvent, change, 0);
    return S_OK;
}

STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::IncludeObject(IShellView*, PCUITEMID_CHILD)
{
    return E_NOTIMPL;
}

STDMETHODIMP ExplorerBrowser::ICommDlgBrowserImpl::GetPaneState(REFEXPLORERPANE pane, EXPLORERPANESTATE* state)
{
    if (!state)
        return E_POINTER;
    *state = EPS_DONTCARE;
    for (int bit = 0; bit < 8; ++bit) {
        if (IsEqualGUID(pane, *Panes[bit]))
            *state = EPS_FORCE | ((paneFlags >> bit) & 1 ? EPS_DEFAULT_ON : EPS_DEFAULT_OFF);
    }
    return S_OK;
}
