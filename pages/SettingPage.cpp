#include "pages/SettingPage.h"
#include "foundation/Application.h"
#include "foundation/Decimal.h"
#include "pages/ColorChoice.h"
#include "settings/AppServices.h"
#include "settings/ProgramResources.h"
#include "toolkit/ComboBox.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/WaitCursor.h"

bool SettingPage::onCtlColorStatic(HDC dc, HWND control, HBRUSH& brush)
{
    brush = staticBrush(control, dc);
    return brush != nullptr;
}

bool SettingPage::onDestroy()
{
    releaseWindowResources();
    return true;
}

bool SettingPage::onInitDialog(HWND)
{
    try {
        WaitCursor wait;
        bindControls();
        fill(getAppSetting());
        settle();
    } catch (const Exception&) {
        // A page that shows anything but the record's values must not be applied: the sheet closes as if
        // the user had cancelled.
        releaseWindowResources();
        pressCancel();
    }
    return true;
}

void SettingPage::settle()
{
    if (masterId)
        sendClick(masterId);
}

void SettingPage::onCommand(HWND, int id, int code)
{
    try {
        command(id, code);
    } catch (const Exception&) {
    }
}

bool SettingPage::onApply(HWND window)
{
    try {
        apply(getAppSetting());
        rememberStartPage();
    } catch (const Exception& exception) {
        if (Application* application = getApplication())
            application->showException(window, exception);
        return true;
    }
    if (appliedFlag)
        *appliedFlag = true;
    return true;
}

void SettingPage::rememberStartPage()
{
    if (!indexSetting)
        return;
    // Only the page the user was looking at knows where the sheet should open next time.
    HWND current = reinterpret_cast<HWND>(SendMessageW(GetParent(liveHandle()), PSM_GETCURRENTPAGEHWND, 0, 0));
    if (current == hwnd)
        *indexSetting = getSheetTabIndex();
}

HBRUSH SettingPage::staticBrush(HWND, HDC)
{
    return nullptr;
}

void SettingPage::bind(Control& control, int id)
{
    control.attach(getDlgItem(id));
}

bool SettingPage::isChecked(int id) const
{
    return IsDlgButtonChecked(liveHandle(), id) == BST_CHECKED;
}

void SettingPage::setChecked(int id, bool checked)
{
    CheckDlgButton(liveHandle(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void SettingPage::enableItems(std::initializer_list<int> ids, bool enabled)
{
    for (int id : ids)
        EnableWindow(getDlgItem(id), enabled);
}

void SettingPage::sendClick(int id)
{
    sendCommand(id, BN_CLICKED);
}

void SettingPage::sendCommand(int id, int code)
{
    ::sendCommand(liveHandle(), id, code, getDlgItem(id));
}

bool SettingPage::chooseColor(ColorChoice& choice)
{
    if (!choice.choose())
        return false;
    invalidate();
    setChanged();
    return true;
}

void SettingPage::setNumber(NumericEdit& edit, int minimum, int maximum, int value)
{
    setNumber(edit, Decimal(minimum), Decimal(maximum), 0, Decimal(value));
}

void SettingPage::setNumber(NumericEdit& edit, const Decimal& minimum, const Decimal& maximum, int decimals,
                            const Decimal& value)
{
    edit.setRange(minimum, maximum, decimals);
    edit.setValue(value);
}

void SettingPage::setAngle(NumericEdit& edit, const wchar_t* limit, const Decimal& value)
{
    Decimal maximum(0);
    maximum.parse(limit);
    setNumber(edit, maximum.multiply(Decimal(-1)), maximum, 2, value);
}

int SettingPage::wholeNumber(NumericEdit& edit)
{
    return edit.getValue().toIntRounded();
}

void SettingPage::loadListItems(UINT itemsId, wstringArray& items)
{
    items.splitResourceString(programResourceModule(), itemsId, L"/");
}

void SettingPage::fillList(ComboBox& list, UINT itemsId, int selection)
{
    wstringArray items;
    loadListItems(itemsId, items);
    list.addStrings(items);
    list.setCurSel(selection);
}
