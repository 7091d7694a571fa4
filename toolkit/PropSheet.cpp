#include "toolkit/PropSheet.h"
#include "toolkit/Dialog.h"
#include <new>
#include <vector>

namespace {

constexpr INT_PTR Handled = 1;

} // namespace

PropPage::~PropPage()
{
    if (getHandle())
        bindObject(hwnd, nullptr);
    hwnd = nullptr;
}

LRESULT PropPage::handleMessage(HWND window, UINT message, WPARAM, LPARAM)
{
    return answerDialogMessage(window, message);
}

HWND PropPage::sheetOf() const
{
    return GetParent(liveHandle());
}

void PropPage::setChanged()
{
    SendMessageW(sheetOf(), PSM_CHANGED, reinterpret_cast<WPARAM>(hwnd), 0);
}

void PropPage::pressCancel()
{
    PostMessageW(sheetOf(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

int PropPage::getSheetTabIndex()
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheetOf(), PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
}

UINT CALLBACK PropPage::pageCallback(HWND, UINT message, PROPSHEETPAGEW* page)
{
    if (message != PSPCB_CREATE)
        return 0;
    reinterpret_cast<PropPage*>(page->lParam)->creationPending = true;
    return 1;
}

void PropPage::bindTo(HWND window)
{
    // A page object serves one window at a time.
    if (getHandle() && hwnd != window)
        bindObject(hwnd, nullptr);
    creationPending = false;
    bindObject(window, this);
    hwnd = window;
}

INT_PTR CALLBACK PropPage::pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The page's WM_INITDIALOG carries the sheet's copy of the page record, whose lParam is the object.
    PropPage* object = message == WM_INITDIALOG
                           ? reinterpret_cast<PropPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam)
                           : boundObject<PropPage>(window);
    if (!object) {
        bool answered = message == WM_NOTIFY || message == WM_DESTROY || message == WM_COMMAND ||
                        message == WM_INITDIALOG;
        return answered ? Handled : 0;
    }
    return routeExceptions(object, Handled, [&] { return object->dispatch(window, message, wParam, lParam); });
}

INT_PTR PropPage::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        bindTo(window);
        return answerDialog(window, message, wParam, lParam);
    case WM_NOTIFY:
        return notified(window, wParam, lParam);
    case WM_DESTROY: {
        INT_PTR result = answerDialogGuarded(window, message, wParam, lParam, Handled);
        bindObject(window, nullptr);
        hwnd = nullptr;
        return result;
    }
    case WM_COMMAND:
        return routeCommand(window, wParam, lParam);
    default:
        return answerDialog(window, message, wParam, lParam);
    }
}

INT_PTR PropPage::notified(HWND window, WPARAM wParam, LPARAM lParam)
{
    switch (reinterpret_cast<NMHDR*>(lParam)->code) {
    case PSN_KILLACTIVE:
        setDialogResult(window, onKillActive(window) ? TRUE : FALSE);
        return Handled;
    case PSN_APPLY:
        // A page whose apply fails half-way keeps the sheet open, so the user's entries are not lost.
        setDialogResult(window, PSNRET_INVALID_NOCHANGEPAGE);
        setDialogResult(window, onApply(window) ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE);
        return Handled;
    default:
        return answerDialog(window, WM_NOTIFY, wParam, lParam);
    }
}

PropSheet::~PropSheet()
{
    if (!ownsPages)
        return;
    for (int i = 0; i < pages.count(); ++i)
        delete pages.at(i)->page;
}

void PropSheet::addPageWithTitle(PropPage* page, HMODULE module, UINT templateId, const wstring& title)
{
    try {
        if (!page || !templateId)
            throw Exception(ErrorCode::InvalidArgument);
        if (!module)
            module = GetModuleHandleW(nullptr);
        auto* added = new (std::nothrow)
            PageRecord{{}, DialogTemplate::load(module, templateId, fonts), title, page};
        if (!added)
            throwOutOfMemory();
        PROPSHEETPAGEW& record = added->record;
        record.dwSize = sizeof(record);
        record.dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK;
        if (!title.isEmpty()) {
            record.dwFlags |= PSP_USETITLE;
            record.pszTitle = added->title.buffer();
        }
        record.hInstance = module;
        record.pResource = added->pageTemplate.get();
        record.pfnDlgProc = PropPage::pageProcedure;
        record.lParam = reinterpret_cast<LPARAM>(page);
        record.pfnCallback = PropPage::pageCallback;
        if (!pages.add(added))
            Exception::throwLastError();
    } catch (...) {
        if (ownsPages)
            delete page;
        throw;
    }
}

int CALLBACK PropSheet::sheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED) {
        LONG_PTR style = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
        SetWindowLongPtrW(sheet, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_CONTEXTHELP));
        SetWindowPos(sheet, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return 0;
}

INT_PTR PropSheet::show(HWND parent, const wstring& caption, bool noApply, int startPage, DWORD extraFlags)
{
    if (pages.count() == 0)
        throw Exception(ErrorCode::InvalidState);
    std::vector<PROPSHEETPAGEW> records;
    for (int i = 0; i < pages.count(); ++i) {
        if (pages.at(i)->page->getHandle())
            throw Exception(ErrorCode::InvalidState);
        records.push_back(pages.at(i)->record);
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | extraFlags | (noApply ? PSH_NOAPPLYNOW : 0);
    header.hwndParent = parent;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption.buffer();
    header.nPages = static_cast<UINT>(records.size());
    header.nStartPage = static_cast<UINT>(startPage);
    header.ppsp = records.data();
    header.pfnCallback = sheetCallback;
    INT_PTR result = PropertySheetW(&header);
    if (result == -1 || ((extraFlags & PSH_MODELESS) && !result))
        throw Exception(ErrorCode::WindowGone);
    return result;
}

INT_PTR PropSheet::doModal(HWND parent, const wstring& caption, bool noApply, int startPage)
{
    return show(parent, caption, noApply, startPage, 0);
}

HWND PropSheet::create(HWND parent, const wstring& caption, bool noApply, int startPage)
{
    return reinterpret_cast<HWND>(show(parent, caption, noApply, startPage, PSH_MODELESS));
}

bool PropSheet::destroyIfClosed(HWND sheet)
{
    if (!IsWindow(sheet))
        return true;
    // After OK or Cancel the sheet has no current page left.
    if (SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))
        return false;
    DestroyWindow(sheet);
    return true;
}
