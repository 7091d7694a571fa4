#include "pages/TrimmingPage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

TrimmingPage::TrimmingPage() : SettingPage(IDC_ENABLE), margins(0, 9999, 0, 100)
{
}

void TrimmingPage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.trimmingEnable);
    x.radio(IDC_TRIM_BY_WIDTH, IDC_TRIM_AUTO, s.trimmingAutoScan);
    x.unit(margins, IDC_UNIT_PIXEL, IDC_UNIT_PERCENT, s.trimmingUnit);
    x.size(margins, IDC_TRIM_LEFT, s.trimmingLeft, s.trimmingLeftPer);
    x.size(margins, IDC_TRIM_TOP, s.trimmingTop, s.trimmingTopPer);
    x.size(margins, IDC_TRIM_RIGHT, s.trimmingRight, s.trimmingRightPer);
    x.size(margins, IDC_TRIM_BOTTOM, s.trimmingBottom, s.trimmingBottomPer);
    x.check(IDC_SCAN_LEFT, s.trimmingScanLeft);
    x.check(IDC_SCAN_TOP, s.trimmingScanTop);
    x.check(IDC_SCAN_RIGHT, s.trimmingScanRight);
    x.check(IDC_SCAN_BOTTOM, s.trimmingScanBottom);
    x.check(IDC_SCAN_COLOR, s.trimmingAssignScanColor);
    x.colour(IDC_CHOOSE_COLOR, s.trimmingScanColor, IDC_SCAN_SWATCH);
    x.number(IDC_OFFSET, s.trimmingOffset, 0, 254);
    x.number(IDC_SPACE, s.trimmingSpace, 0, 100);
}

void TrimmingPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_ENABLE);
    bool automatic = isChecked(IDC_TRIM_AUTO);
    enableItems({IDC_TRIM_BY_WIDTH, IDC_TRIM_AUTO}, on);
    enableItems({IDC_TRIM_LEFT, IDC_TRIM_TOP, IDC_TRIM_RIGHT, IDC_TRIM_BOTTOM, IDC_UNIT_PIXEL, IDC_UNIT_PERCENT,
                 IDC_TRIM_LEFT_LABEL, IDC_TRIM_TOP_LABEL, IDC_TRIM_RIGHT_LABEL, IDC_TRIM_BOTTOM_LABEL},
                on && !automatic);
    enableItems({IDC_SCAN_LEFT, IDC_SCAN_TOP, IDC_SCAN_RIGHT, IDC_SCAN_BOTTOM, IDC_SCAN_COLOR, IDC_OFFSET_LABEL,
                 IDC_OFFSET, IDC_SPACE_LABEL, IDC_SPACE},
                on && automatic);
    enableItems({IDC_SCAN_SWATCH, IDC_CHOOSE_COLOR}, on && automatic && isChecked(IDC_SCAN_COLOR));
}
