#pragma once
#include <initializer_list>
#include "foundation/Decimal.h"
#include "pages/PageExchange.h"
#include "toolkit/Control.h"
#include "toolkit/PropSheet.h"

class AppSetting;

// The base of the option pages that edit the settings record. A page names each of its settings once, with
// the control that edits it, in exchange; the base runs that to fill the controls from the record when the
// sheet first shows the page, and again to write them into the record only when the user presses OK or
// Apply. Every change the user makes to an exchanged control marks the page changed (lights Apply); what
// else a page does on its controls' notifications is its enabling rules (command) and its reactions to
// changes (onChanged). A page that cannot fill itself cancels its sheet.
//
// The opener may point indexSetting at the record's integer that remembers the sheet's start page (the page
// that is current when OK or Apply is pressed stores its tab index there) and appliedFlag at a flag of its
// own that the first successful apply sets. Both are null after construction.
class SettingPage : public PropPage {
public:
    int* indexSetting = nullptr;
    bool* appliedFlag = nullptr;

    // Fills the page; a page that cannot fill itself cancels the sheet.
    bool onInitDialog(HWND focus) override;
    bool onCtlColorStatic(HDC dc, HWND control, HBRUSH& brush) override;
    bool onScroll(int bar, UINT code, HWND control) override;
    bool onDestroy() override;
    // Commands that fail have no effect beyond what was done before the failure.
    void onCommand(HWND hwnd, int id, int code) override;
    // Writes the page into the record. A failure is shown in a warning box and the sheet still closes: what
    // was written before it stays, the start page and the applied flag stay as they were.
    bool onApply(HWND window) override;

protected:
    // masterId: the check box that switches the whole page on or off (0: none); the page sends itself its
    // click after filling, so that one routine sets the enabled states for the filled values and for clicks.
    explicit SettingPage(int masterId) : masterId(masterId) {}

    // Binds what the page uses beyond its exchange; any Exception of it, of exchange and of settle while
    // filling cancels the sheet.
    virtual void bindControls() {}
    virtual void exchange(PageExchange& x, AppSetting& setting) = 0;
    // After filling: the master box's click, when there is one.
    virtual void settle();
    // Every WM_COMMAND of the page's controls (the notification code as it came), after the page was marked
    // changed by it: the enabling rules.
    virtual void command(int /*id*/, int /*code*/) {}
    // After a change of that control marked the page changed, and after command.
    virtual void onChanged(int /*id*/) {}
    // The brush for a static control that is no swatch of the exchange, or null for the system's colours.
    virtual HBRUSH staticBrush(HWND /*control*/, HDC /*dc*/) { return nullptr; }
    // Frees what the page made for its window; when the window goes, and when filling failed. Runs more
    // than once without harm.
    virtual void releaseWindowResources() {}

    // Binds the wrapper to the dialog item of that id; a missing item throws Exception 1400.
    void bind(Control& control, int id);
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    // The selected item of a drop-down list, -1 for none.
    int selectionOf(int id) const;
    // The value of a numeric field, within its range.
    Decimal numberIn(int id) const;
    // The working colour of a colour of the exchange, by its button.
    COLORREF colourOf(int chooseId) const { return exchanged.colourOf(chooseId); }
    void enableItems(std::initializer_list<int> ids, bool enabled);
    void showItem(int id, bool shown);
    // WM_COMMAND with the click of that item, as if the user had clicked it.
    void sendClick(int id);
    void sendCommand(int id, int code);

private:
    void runExchange(PageExchange::Direction direction);
    // Lights Apply, unless the page is being filled.
    void markChanged();
    void released();
    void rememberStartPage();

    int masterId;
    ExchangedControls exchanged;
    bool filling = false;
};
