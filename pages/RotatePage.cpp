#include "pages/RotatePage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

RotatePage::RotatePage() : SettingPage(IDC_ENABLE)
{
}

void RotatePage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.rotateEnable);
    // The turns in the order of the setting Rotate/Assign; one the page does not know is a skew.
    x.radio({IDC_ROTATE_90, IDC_ROTATE_180, IDC_ROTATE_270, IDC_ROTATE_ANGLE, IDC_ROTATE_SKEW}, s.rotateAssign, 4);
    x.angle(IDC_ANGLE, s.rotateAssignAngle, L"359.99");
    x.colour(IDC_ANGLE_CHOOSE, s.rotateAssignAngleColor, IDC_ANGLE_SWATCH);
    x.check(IDC_ANGLE_TRANSPARENT, s.rotateAssignAngleColorTransparent);
    x.angle(IDC_SKEW_H, s.rotateAngleH, L"89.99");
    x.angle(IDC_SKEW_V, s.rotateAngleV, L"89.99");
    x.colour(IDC_SKEW_CHOOSE, s.rotateSlopeColor, IDC_SKEW_SWATCH);
    x.check(IDC_SKEW_TRANSPARENT, s.rotateSlopeColorTransparent);
}

void RotatePage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_ENABLE);
    enableItems({IDC_ROTATE_90, IDC_ROTATE_180, IDC_ROTATE_270, IDC_ROTATE_ANGLE, IDC_ROTATE_SKEW}, on);
    enableItems({IDC_ANGLE_LABEL, IDC_ANGLE, IDC_ANGLE_UNIT, IDC_ANGLE_COLOR_LABEL, IDC_ANGLE_SWATCH,
                 IDC_ANGLE_CHOOSE, IDC_ANGLE_TRANSPARENT},
                on && isChecked(IDC_ROTATE_ANGLE));
    enableItems({IDC_SKEW_H_LABEL, IDC_SKEW_H, IDC_SKEW_H_UNIT, IDC_SKEW_V_LABEL, IDC_SKEW_V, IDC_SKEW_V_UNIT,
                 IDC_SKEW_COLOR_LABEL, IDC_SKEW_SWATCH, IDC_SKEW_CHOOSE, IDC_SKEW_TRANSPARENT},
                on && isChecked(IDC_ROTATE_SKEW));
}
