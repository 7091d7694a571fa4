#pragma once
#include <windows.h>
#include <servprov.h>
#include <shobjidl.h>
#include "toolkit/ExplorerBrowser.h"

// The explorer browser's site: it forwards the view's selection, rename and default-command notices to the
// owner window as ExplorerBrowser::HostEvent, and forces the browser's panes on or off by its pane flags (bit
// 0-7: navigation, commands, organise, view, details, preview, query, advanced query; all off at 0). The
// default command is swallowed in mode 0, raised as an event in mode 1 and left to the shell in any other.
// Counts its own references from 1 and deletes itself at 0.
class ExplorerBrowser::ICommDlgBrowserImpl : public IServiceProvider,
                                             public ICommDlgBrowser,
                                             public IExplorerPaneVisibility {
public:
    ICommDlgBrowserImpl(HWND owner, BYTE paneFlags, int defaultCommandMode)
        : owner(owner), paneFlags(paneFlags), defaultCommandMode(defaultCommandMode)
    {
    }
    ICommDlgBrowserImpl(const ICommDlgBrowserImpl&) = delete;
    ICommDlgBrowserImpl& operator=(const ICommDlgBrowserImpl&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

    STDMETHODIMP OnDefaultCommand(IShellView* view) override;
    STDMETHODIMP OnStateChange(IShellView* view, ULONG change) override;
    STDMETHODIMP IncludeObject(IShellView* view, PCUITEMID_CHILD item) override;

    STDMETHODIMP GetPaneState(REFEXPLORERPANE pane, EXPLORERPANESTATE* state) override;

private:
    virtual ~ICommDlgBrowserImpl() = default;

    LONG references = 1;
    HWND owner;
    BYTE paneFlags;
    int defaultCommandMode;
};
