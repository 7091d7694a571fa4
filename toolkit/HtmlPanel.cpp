#include "toolkit/HtmlPanel.h"
#include <mshtmhst.h>
#include <new>
#include "imaging/ComStream.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr wchar_t PropertyName[] = L"HtmlPanel";
constexpr UINT_PTR SilenceTimer = 1;
constexpr DWORD ReadOnlyLook = DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO |
                               DOCHOSTUIFLAG_THEME;
// WM_SETREDRAW's bits: 1 the text can be selected, 2 the page shows scroll bars.
constexpr WPARAM SelectableText = 1;
constexpr WPARAM ScrollBars = 2;

using ReadOnlyWB = HtmlPanel::ReadOnlyWB;

ReadOnlyWB* browserOf(HWND panel)
{
    return static_cast<ReadOnlyWB*>(GetPropW(panel, PropertyName));
}

void makeReadOnly(ReadOnlyWB& browser)
{
    browser.disableContextMenu();
    browser.setSilent();
    browser.disableNavigation();
    browser.disableDropTarget();
    browser.setHostFlags(ReadOnlyLook);
    browser.subclass();
}

LRESULT createPanel(HWND panel)
{
    auto* browser = new (std::nothrow) ReadOnlyWB(panel);
    if (!browser)
        return -1;
    try {
        RECT client;
        GetClientRect(panel, &client);
        browser->create(panel, HtmlPanel::BrowserId, Rect(0, 0, client.right, client.bottom), 0, 0);
        makeReadOnly(*browser);
        if (!SetPropW(panel, PropertyName, browser))
            Exception::throwLastError();
    } catch (const Exception&) {
        browser->destroy();
        delete browser;
        return -1;
    }
    return 0;
}

LRESULT setLook(ReadOnlyWB& browser, WPARAM look)
{
    DWORD flags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    if (!(look & SelectableText))
        flags |= DOCHOSTUIFLAG_DIALOG;
    if (!(look & ScrollBars))
        flags |= DOCHOSTUIFLAG_SCROLL_NO;
    try {
        browser.setHostFlags(flags);
    } catch (const Exception&) {
        return 1;
    }
    return 0;
}

template <typename Step>
void runLoadStep(HWND panel, Step step)
{
    try {
        step();
    } catch (const Exception&) {
        PostMessageW(panel, HtmlPanel::LoadedMessage, 1, 0);
    }
}

LRESULT CALLBACK panelProcedure(HWND panel, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return createPanel(panel);
    ReadOnlyWB* browser = browserOf(panel);
    if (!browser)
        return DefWindowProcW(panel, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        RemovePropW(panel, PropertyName);
        browser->destroy();
        delete browser;
        return 0;
    case WM_SIZE:
        MoveWindow(browser->getHandle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETREDRAW:
        return setLook(*browser, wParam);
    case WM_SETTEXT:
        runLoadStep(panel, [&] { browser->loadText(reinterpret_cast<const void*>(lParam), static_cast<UINT>(wParam)); });
        return TRUE;
    case HtmlPanel::LoadPendingMessage:
        runLoadStep(panel, [&] { browser->loadPending(); });
        return 0;
    case HtmlPanel::GetBrowserMessage:
        return reinterpret_cast<LRESULT>(browser);
    default:
        return DefWindowProcW(panel, message, wParam, lParam);
    }
}

} // namespace

HtmlPanel::ReadOnlyWB::~ReadOnlyWB()
{
    stopWatching();
}

void HtmlPanel::ReadOnlyWB::loadText(const void* bytes, UINT count)
{
    blankReady = false;
    try {
        OutputComStream stream;
        stream.create();
        stream.write(bytes, count);
        rewindComStream(stream.get());
        pending.attach(stream.detach());
        watch();
        controller().navigate(L"about:blank");
    } catch (...) {
        pending.release();
        blankReady = true;
        stopWatching();
        throw;
    }
}

void HtmlPanel::ReadOnlyWB::loadPending()
{
    contentLoaded = false;
    try {
        watch();
        controller().loadStream(pending.get());
    } catch (...) {
        pending.release();
        contentLoaded = true;
        stopWatching();
        throw;
    }
}

void HtmlPanel::ReadOnlyWB::watch()
{
    if (HWND window = getHandle())
        SetTimer(window, SilenceTimer, SilenceTimeout, nullptr);
}

void HtmlPanel::ReadOnlyWB::stopWatching()
{
    if (HWND window = getHandle())
        KillTimer(window, SilenceTimer);
}

void HtmlPanel::ReadOnlyWB::finish(bool succeeded)
{
    stopWatching();
    pending.release();
    blankReady = true;
    contentLoaded = true;
    PostMessageW(panel, LoadedMessage, succeeded ? 0 : 1, 0);
}

bool HtmlPanel::ReadOnlyWB::onTimer(UINT_PTR id)
{
    if (id != SilenceTimer)
        return false;
    if (isLoading())
        finish(false);
    else
        stopWatching();
    return true;
}

LRESULT HtmlPanel::ReadOnlyWB::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case DocumentCompleteMessage:
        if (!blankReady) {
            blankReady = true;
            PostMessageW(panel, LoadPendingMessage, 0, 0);
        } else if (!contentLoaded) {
            finish(true);
        }
        return 0;
    case NavigateErrorMessage:
        // Without this the panel would wait for a document that never comes.
        if (isLoading())
            finish(false);
        break;
    case BeforeNavigateMessage:
        // The blank document of a new load must come in even where a document is shown already.
        if (!blankReady) {
            watch();
            return 0;
        }
        break;
    default:
        if (message > WM_USER && message <= WM_USER + DISPID_NAVIGATEERROR && isLoading())
            watch();
        break;
    }
    return WebBrowser::handleMessage(window, message, wParam, lParam);
}

void HtmlPanel::registerClass()
{
    WebBrowser::registerClass();
    registerControlClass(HtmlPanelClassName, panelProcedure, CS_DBLCLKS,
                         static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

bool HtmlPanel::setRedraw()
{
    return sendMessage(WM_SETREDRAW, ScrollBars) == 0;
}

void HtmlPanel::setText(const void* bytes, UINT count)
{
    liveHandle();
    if (!bytes)
        throw Exception(ErrorCode::InvalidArgument);
    sendMessage(WM_SETTEXT, count, reinterpret_cast<LPARAM>(bytes));
}

IDispatch* HtmlPanel::getDocument() const
{
    return browser().getDocument();
}

HtmlPanel::ReadOnlyWB& HtmlPanel::browser() const
{
    auto* held = reinterpret_cast<ReadOnlyWB*>(sendMessage(GetBrowserMessage));
    if (!held)
        throw Exception(ErrorCode::WindowGone);
    return *held;
}

LRESULT HtmlPanel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LoadedMessage) {
        HtmlPanelEventArgs args(wParam == 0);
        try {
            raiseEvent(&args);
        } catch (const Exception&) {
            // The owner's failure to use the page leaves the panel as it is.
        }
    }
    return Control::handleMessage(window, message, wParam, lParam);
}
