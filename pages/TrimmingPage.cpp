#include "pages/TrimmingPage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

enum Margin { Left, Top, Right, Bottom };

} // namespace

TrimmingPage::TrimmingPage() : SettingPage(IDC_ENABLE), margins(0, 9999, 0, 100)
{
}

void TrimmingPage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(left, IDC_TRIM_LEFT);
    bind(top, IDC_TRIM_TOP);
    bind(right, IDC_TRIM_RIGHT);
    bind(bottom, IDC_TRIM_BOTTOM);
    bind(offset, IDC_OFFSET);
    bind(space, IDC_SPACE);
    bind(swatch, IDC_SCAN_SWATCH);
}

void TrimmingPage::fill(const AppSetting& setting)
{
    margins.clear();
    margins.add(left, setting.trimmingLeft, setting.trimmingLeftPer);
    margins.add(top, setting.trimmingTop, setting.trimmingTopPer);
    margins.add(right, setting.trimmingRight, setting.trimmingRightPer);
    margins.add(bottom, setting.trimmingBottom, setting.trimmingBottomPer);
    bool percent = setting.trimmingUnit == 1;
    setChecked(percent ? IDC_UNIT_PERCENT : IDC_UNIT_PIXEL, true);
    margins.show(percent);

    enable.setCheck(setting.trimmingEnable);
    setChecked(setting.trimmingAutoScan ? IDC_TRIM_AUTO : IDC_TRIM_BY_WIDTH, true);
    setChecked(IDC_SCAN_LEFT, setting.trimmingScanLeft);
    setChecked(IDC_SCAN_TOP, setting.trimmingScanTop);
    setChecked(IDC_SCAN_RIGHT, setting.trimmingScanRight);
    setChecked(IDC_SCAN_BOTTOM, setting.trimmingScanBottom);
    setChecked(IDC_SCAN_COLOR, setting.trimmingAssignScanColor);
    scanColor.reset(getHandle(), setting.trimmingScanColor);
    setNumber(offset, 0, 254, setting.trimmingOffset);
    setNumber(space, 0, 100, setting.trimmingSpace);
}

void TrimmingPage::apply(AppSetting& setting)
{
    margins.keepShown();
    setting.trimmingEnable = enable.getCheck();
    setting.trimmingAutoScan = isChecked(IDC_TRIM_AUTO);
    setting.trimmingLeft = margins.pixels(Left);
    setting.trimmingTop = margins.pixels(Top);
    setting.trimmingRight = margins.pixels(Right);
    setting.trimmingBottom = margins.pixels(Bottom);
    setting.trimmingLeftPer = margins.percent(Left);
    setting.trimmingTopPer = margins.percent(Top);
    setting.trimmingRightPer = margins.percent(Right);
    setting.trimmingBottomPer = margins.percent(Bottom);
    setting.trimmingUnit = isChecked(IDC_UNIT_PERCENT) ? 1 : 0;
    setting.trimmingScanLeft = isChecked(IDC_SCAN_LEFT);
    setting.trimmingScanTop = isChecked(IDC_SCAN_TOP);
    setting.trimmingScanRight = isChecked(IDC_SCAN_RIGHT);
    setting.trimmingScanBottom = isChecked(IDC_SCAN_BOTTOM);
    setting.trimmingAssignScanColor = isChecked(IDC_SCAN_COLOR);
    setting.trimmingScanColor = scanColor.colour();
    setting.trimmingOffset = wholeNumber(offset);
    setting.trimmingSpace = wholeNumber(space);
}

void TrimmingPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    bool automatic = isChecked(IDC_TRIM_AUTO);
    enableItems({IDC_TRIM_BY_WIDTH, IDC_TRIM_AUTO}, on);
    enableItems({IDC_TRIM_LEFT, IDC_TRIM_TOP, IDC_TRIM_RIGHT, IDC_TRIM_BOTTOM, IDC_UNIT_PIXEL, IDC_UNIT_PERCENT,
                 IDC_TRIM_LEFT_LABEL, IDC_TRIM_TOP_LABEL, IDC_TRIM_RIGHT_LABEL, IDC_TRIM_BOTTOM_LABEL},
                on && !automatic);
    enableItems({IDC_SCAN_LEFT, IDC_SCAN_TOP, IDC_SCAN_RIGHT, IDC_SCAN_BOTTOM, IDC_SCAN_COLOR, IDC_OFFSET_LABEL,
                 IDC_OFFSET, IDC_SPACE_LABEL, IDC_SPACE},
                on && automatic);
    updateScanColorState();
}

void TrimmingPage::updateScanColorState()
{
    enableItems({IDC_SCAN_SWATCH, IDC_CHOOSE_COLOR},
                enable.getCheck() && isChecked(IDC_TRIM_AUTO) && isChecked(IDC_SCAN_COLOR));
}

void TrimmingPage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
    case IDC_TRIM_BY_WIDTH:
    case IDC_TRIM_AUTO:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_SCAN_COLOR:
        if (code != BN_CLICKED)
            return;
        updateScanColorState();
        break;
    case IDC_SCAN_LEFT:
    case IDC_SCAN_TOP:
    case IDC_SCAN_RIGHT:
    case IDC_SCAN_BOTTOM:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_UNIT_PIXEL:
    case IDC_UNIT_PERCENT:
        if (code != BN_CLICKED)
            return;
        margins.switchTo(id == IDC_UNIT_PERCENT);
        break;
    case IDC_TRIM_LEFT:
    case IDC_TRIM_TOP:
    case IDC_TRIM_RIGHT:
    case IDC_TRIM_BOTTOM:
    case IDC_OFFSET:
    case IDC_SPACE:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(scanColor);
        return;
    default:
        return;
    }
    setChanged();
}

HBRUSH TrimmingPage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? scanColor.brush() : nullptr;
}
