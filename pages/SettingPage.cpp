#include "pages/SettingPage.h"
#include "foundation/Application.h"
#include "settings/AppServices.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/WaitCursor.h"

namespace {

// Holds the flag up while it lives.
class Raised {
public:
    explicit Raised(bool& flag) : flag(flag) { flag = true; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;
    ~Raised() { flag = false; }

private:
    bool& flag;
};

} // namespace

bool SettingPage::onCtlColorStatic(HDC dc, HWND control, HBRUSH& brush)
{
    brush = exchanged.brushOf(control);
    if (!brush)
        brush = staticBrush(control, dc);
    return brush != nullptr;
}

bool SettingPage::onDestroy()
{
    released();
    return true;
}

void SettingPage::released()
{
    exchanged.release();
    releaseWindowResources();
}

bool SettingPage::onInitDialog(HWND)
{
    try {
        WaitCursor wait;
        released();
        bindControls();
        // The controls tell of the values put into them, and settle clicks the master box: none of it is the
        // user's change.
        Raised whileFilling(filling);
        runExchange(PageExchange::Fill);
        settle();
    } catch (const Exception&) {
        // A page that shows anything but the record's values must not be applied: the sheet closes as if
        // the user had cancelled.
        released();
        pressCancel();
    }
    return true;
}

void SettingPage::runExchange(PageExchange::Direction direction)
{
    PageExchange x(liveHandle(), direction, exchanged);
    exchange(x, getAppSetting());
}

void SettingPage::settle()
{
    if (masterId)
        sendClick(masterId);
}

void SettingPage::onCommand(HWND, int id, int code)
{
    try {
        bool changed = exchanged.changes(id, code);
        if (changed)
            markChanged();
        command(id, code);
        if (changed)
            onChanged(id);
    } catch (const Exception&) {
    }
}

bool SettingPage::onScroll(int bar, UINT, HWND control)
{
    if (bar != SB_HORZ || !control)
        return false;
    int id = GetDlgCtrlID(control);
    try {
        if (!exchanged.changes(id, ExchangedControls::Scrolled))
            return false;
        markChanged();
        onChanged(id);
    } catch (const Exception&) {
    }
    return true;
}

void SettingPage::markChanged()
{
    if (!filling)
        setChanged();
}

bool SettingPage::onApply(HWND window)
{
    try {
        runExchange(PageExchange::Apply);
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

int SettingPage::selectionOf(int id) const
{
    return static_cast<int>(SendMessageW(getDlgItem(id), CB_GETCURSEL, 0, 0));
}

Decimal SettingPage::numberIn(int id) const
{
    NumericEdit field;
    field.attach(getDlgItem(id));
    return field.getValue();
}

void SettingPage::enableItems(std::initializer_list<int> ids, bool enabled)
{
    for (int id : ids)
        EnableWindow(getDlgItem(id), enabled);
}

void SettingPage::showItem(int id, bool shown)
{
    ShowWindow(getDlgItem(id), shown ? SW_SHOW : SW_HIDE);
}

void SettingPage::sendClick(int id)
{
    sendCommand(id, BN_CLICKED);
}

void SettingPage::sendCommand(int id, int code)
{
    ::sendCommand(liveHandle(), id, code, getDlgItem(id));
}
