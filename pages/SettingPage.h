#pragma once
#include <initializer_list>
#include "toolkit/Control.h"
#include "toolkit/PropSheet.h"

#include "foundation/wstringArray.h"

class AppSetting;
class ColorChoice;
class ComboBox;
class NumericEdit;
class Decimal;

// The base of the option pages that edit the settings record. A page fills its controls from the record
// when the sheet first shows it, keeps the user's changes in its controls and working copies, and writes
// everything back only when the user presses OK or Apply. A page that cannot fill itself cancels its sheet.
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
    bool onDestroy() override;
    // Commands that fail have no effect beyond what was done before the failure.
    void onCommand(HWND hwnd, int id, int code) override;
    // Writes the page into the record. A failure is shown in a warning box and the sheet still closes: what
    // was written before it stays, the start page and the applied flag stay as they were.
    bool onApply(HWND hwnd) override;

protected:
    // masterId: the check box that switches the whole page on or off (0: none); the page sends itself its
    // click after filling, so that one routine sets the enabled states for the filled values and for clicks.
    explicit SettingPage(int masterId) : masterId(masterId) {}

    // What each page does; any Exception of the first three while filling cancels the sheet.
    virtual void bindControls() = 0;
    virtual void fill(const AppSetting& setting) = 0;
    // After filling: the master box's click, when there is one.
    virtual void settle();
    virtual void apply(AppSetting& setting) = 0;
    // Every WM_COMMAND of the page's controls (the notification code as it came).
    virtual void command(int id, int code) = 0;
    // The brush for a static control (its swatch), or null for the system's colours.
    virtual HBRUSH staticBrush(HWND control, HDC dc);
    // Frees what the page made for its window; when the window goes, and when filling failed. Runs more
    // than once without harm.
    virtual void releaseWindowResources() {}

    // Binds the wrapper to the dialog item of that id; a missing item throws Exception 1400.
    void bind(Control& control, int id);
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    void enableItems(std::initializer_list<int> ids, bool enabled);
    // WM_COMMAND with the click of that item, as if the user had clicked it.
    void sendClick(int id);
    void sendCommand(int id, int code);
    // The colour dialog of a choice; a confirmed colour repaints the page and marks it changed.
    bool chooseColor(ColorChoice& choice);
    // Range, decimals and value in one step.
    static void setNumber(NumericEdit& edit, int minimum, int maximum, int value);
    static void setNumber(NumericEdit& edit, const Decimal& minimum, const Decimal& maximum, int decimals,
                          const Decimal& value);
    // An angle in degrees with two decimals, from -limit to limit (the limit as the settings write numbers).
    static void setAngle(NumericEdit& edit, const wchar_t* limit, const Decimal& value);
    // The items of a string of the string table, separated by "/".
    static void loadListItems(UINT itemsId, wstringArray& items);
    // A drop-down list filled with those items and the item of that index selected.
    static void fillList(ComboBox& list, UINT itemsId, int selection);
    // The value to the nearest whole number.
    static int wholeNumber(NumericEdit& edit);

private:
    void rememberStartPage();

    int masterId;
};
