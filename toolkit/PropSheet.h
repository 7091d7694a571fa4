#pragma once
#include <windows.h>
#include <commctrl.h>
#include "foundation/ObjectArray.h"
#include "toolkit/DialogTemplate.h"
#include "toolkit/PriorityFont.h"
#include "toolkit/Window.h"

// One page of a property sheet. The object is bound to its page window from the page's WM_INITDIALOG to its
// WM_DESTROY; the window belongs to the sheet, so the destructor only unbinds.
class PropPage : public Window {
public:
    PropPage() = default;
    ~PropPage() override;

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // True keeps the user on this page.
    virtual bool onKillActive(HWND) { return false; }
    // False refuses the apply: the sheet stays open on this page.
    virtual bool onApply(HWND) { return true; }

    // Lights the sheet's Apply button. Exception 1400 when the page window is gone, as for the two below.
    void setChanged();
    // Presses the sheet's Cancel button once the current message is handled.
    void pressCancel();
    // The index of the sheet's selected tab.
    int getSheetTabIndex();

    bool isCreationPending() const { return creationPending; }

private:
    friend class PropSheet;
    static INT_PTR CALLBACK pageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT CALLBACK pageCallback(HWND hwnd, UINT message, PROPSHEETPAGEW* page);
    INT_PTR dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR notified(HWND window, WPARAM wParam, LPARAM lParam);
    void bindTo(HWND window);
    HWND sheetOf() const;

    bool creationPending = false;
};

// A property sheet of PropPage pages, each from a DIALOG resource in the first installed face of the
// priority-font list. Pages are added before the sheet is shown; their records and templates live as long as
// the sheet, so it can be shown again. The sheet shows no "?" button.
class PropSheet {
public:
    using PriorityFont = ::PriorityFont;

    PropSheet() = default;
    PropSheet(const PropSheet&) = delete;
    PropSheet& operator=(const PropSheet&) = delete;
    // Deletes the page objects when the sheet owns them.
    virtual ~PropSheet();

    // A null page or template id 0 throws Exception 87, a missing template Exception with the system's
    // error; on any failure a page that the sheet owns is deleted. An empty title keeps the template's
    // caption as the tab label.
    void addPageWithTitle(PropPage* page, HMODULE module, UINT templateId, const wstring& title);
    void addPage(PropPage* page, HMODULE module, UINT templateId)
    {
        addPageWithTitle(page, module, templateId, wstring());
    }
    void addPriorityFont(const wstring& face, int points) { fonts.add(face, points); }
    void setOwnsPages(bool owns) { ownsPages = owns; }
    int getPageCount() const { return pages.count(); }

    // Shows the sheet modally and returns PropertySheetW's result. Exception 1 without pages or while a page
    // is still bound to a window; 1400 when the sheet cannot be shown.
    INT_PTR doModal(HWND parent, const wstring& caption, bool noApply, int startPage);
    // The same sheet without a modal loop: returns the sheet window, which the caller's loop serves and
    // hands to destroyIfClosed after each message.
    HWND create(HWND parent, const wstring& caption, bool noApply, int startPage);
    // True when a modeless sheet has been closed by its OK or Cancel button (its window is then destroyed)
    // or is gone.
    static bool destroyIfClosed(HWND sheet);

protected:
    PriorityFontList fonts;

private:
    struct PageRecord {
        PROPSHEETPAGEW record;
        DialogTemplate pageTemplate;
        wstring title;
        PropPage* page;
    };

    INT_PTR show(HWND parent, const wstring& caption, bool noApply, int startPage, DWORD extraFlags);
    static int CALLBACK sheetCallback(HWND hwnd, UINT message, LPARAM lParam);

    ObjectArray<PageRecord> pages;
    bool ownsPages = false;
};

// The program's sheets: their faces are the user's list of dialog faces (Window/UiFontFaces). A malformed
// list throws Exception 87, a missing settings record Exception 1.
class AppPropSheet : public PropSheet {
public:
    AppPropSheet() { fonts.addFromUserSetting(); }
};
