#include <gtest/gtest.h>
#include <shlobj.h>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "toolkit/ExplorerBrowser.h"
#include "toolkit/ExplorerBrowserSite.h"

namespace {

// Counts the host events that reach a window, by code.
class EventWindow : public ParentWindow {
public:
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == ExplorerBrowser::HostEvent && wParam < 8)
            ++received[wParam];
        return ParentWindow::handleMessage(hwnd, message, wParam, lParam);
    }
    int received[8] = {};
};

struct Counter {
    void onEvent(Window*, EventArgs&) { ++count; }
    int count = 0;
};

int childCount(HWND parent)
{
    int count = 0;
    EnumChildWindows(
        parent, [](HWND, LPARAM counter) -> BOOL { return ++*reinterpret_cast<int*>(counter), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

TEST(ExplorerBrowserHost, WhereTheBrowserCannotShowFilesCreationFailsWithItsErrorAndLeavesNothing)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ExplorerBrowser::registerClass();
    if (ExplorerBrowser::canShowFiles()) {
        CoUninitialize();
        GTEST_SKIP() << "this system's explorer browser shows files";
    }
    ParentWindow parent;
    for (int attempt = 0; attempt < 2; ++attempt) {
        ExplorerBrowser host;
        int code = thrownCode([&] { host.create(parent.getHandle(), 1, Rect(0, 0, 300, 200), 0, 0); });
        EXPECT_LT(code, 0) << "the browser's HRESULT, not a bare 'no window'";
        EXPECT_EQ(host.getHandle(), nullptr);
        EXPECT_EQ(childCount(parent.getHandle()), 0);
    }
    parent.destroy();
    CoUninitialize();
}

TEST(ExplorerBrowserHost, EventsGoToTheirSlotsAndABadSlotChangesNothing)
{
    ExplorerBrowser host;
    Counter selection;
    Counter menu;
    host.setEventHandler(ExplorerBrowser::SelectionChangedEvent, setEvent(&selection, &Counter::onEvent));
    EXPECT_EQ(thrownCode([&] { host.setEventHandler(4, setEvent(&menu, &Counter::onEvent)); }),
              ErrorCode::InvalidArgument);
    host.raiseHostEvent(2);
    host.raiseHostEvent(1);
    host.raiseHostEvent(9);
    EXPECT_EQ(selection.count, 1);
    EXPECT_EQ(menu.count, 0);
}

TEST(ExplorerBrowserSite, ForcesThePanesOffAndPassesTheViewsNoticesToItsWindow)
{
    EventWindow owner;
    auto* site = new ExplorerBrowser::ICommDlgBrowserImpl(owner.getHandle(), 0, 0);
    ICommDlgBrowser* browser = nullptr;
    ASSERT_EQ(site->QueryService(IID_ICommDlgBrowser, IID_ICommDlgBrowser, reinterpret_cast<void**>(&browser)), S_OK);
    IExplorerPaneVisibility* panes = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IExplorerPaneVisibility, reinterpret_cast<void**>(&panes)), S_OK);
    void* other = nullptr;
    EXPECT_EQ(site->QueryService(IID_IShellBrowser, IID_IShellBrowser, &other), E_NOINTERFACE);
    EXPECT_EQ(site->QueryInterface(IID_IShellBrowser, &other), E_NOINTERFACE);

    EXPLORERPANESTATE state = 0;
    for (const GUID* pane : {&EP_NavPane, &EP_DetailsPane, &EP_PreviewPane, &EP_AdvQueryPane}) {
        panes->GetPaneState(*pane, &state);
        EXPECT_EQ(state, EPS_FORCE | EPS_DEFAULT_OFF);
    }
    panes->GetPaneState(IID_IUnknown, &state);
    EXPECT_EQ(state, EPS_DONTCARE);

    EXPECT_EQ(browser->OnStateChange(nullptr, CDBOSC_SELCHANGE), S_OK);
    EXPECT_EQ(browser->OnStateChange(nullptr, CDBOSC_RENAME), S_OK);
    EXPECT_EQ(browser->OnStateChange(nullptr, CDBOSC_SETFOCUS), E_NOTIMPL);
    EXPECT_EQ(browser->OnDefaultCommand(nullptr), S_OK) << "swallowed";
    EXPECT_EQ(owner.received[2], 1);
    EXPECT_EQ(owner.received[3], 1);
    EXPECT_EQ(owner.received[4], 0);
    panes->Release();
    browser->Release();
    EXPECT_EQ(site->Release(), 0u);

    auto* raising = new ExplorerBrowser::ICommDlgBrowserImpl(owner.getHandle(), 1, 1);
    EXPECT_EQ(raising->OnDefaultCommand(nullptr), S_OK);
    EXPECT_EQ(owner.received[4], 1) << "mode 1 raises the default command";
    raising->GetPaneState(EP_NavPane, &state);
    EXPECT_EQ(state, EPS_FORCE | EPS_DEFAULT_ON);
    raising->Release();
    auto* shellDecides = new ExplorerBrowser::ICommDlgBrowserImpl(owner.getHandle(), 0, 2);
    EXPECT_EQ(shellDecides->OnDefaultCommand(nullptr), E_NOTIMPL);
    shellDecides->Release();
}
