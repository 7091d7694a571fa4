#include "pages/RotatePage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

// The turns in the order of their buttons and of the setting Rotate/Assign.
constexpr int turnButtons[] = {IDC_ROTATE_90, IDC_ROTATE_180, IDC_ROTATE_270, IDC_ROTATE_ANGLE, IDC_ROTATE_SKEW};
constexpr int LastTurn = 4;

} // namespace

RotatePage::RotatePage() : SettingPage(IDC_ENABLE)
{
}

void RotatePage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(angle, IDC_ANGLE);
    bind(skewH, IDC_SKEW_H);
    bind(skewV, IDC_SKEW_V);
    bind(angleSwatch, IDC_ANGLE_SWATCH);
    bind(skewSwatch, IDC_SKEW_SWATCH);
}

void RotatePage::fill(const AppSetting& setting)
{
    setAngle(angle, L"359.99", setting.rotateAssignAngle);
    setAngle(skewH, L"89.99", setting.rotateAngleH);
    setAngle(skewV, L"89.99", setting.rotateAngleV);
    enable.setCheck(setting.rotateEnable);
    int turn = setting.rotateAssign >= 0 && setting.rotateAssign < LastTurn ? setting.rotateAssign : LastTurn;
    setChecked(turnButtons[turn], true);
    angleColor.reset(getHandle(), setting.rotateAssignAngleColor);
    skewColor.reset(getHandle(), setting.rotateSlopeColor);
    setChecked(IDC_ANGLE_TRANSPARENT, setting.rotateAssignAngleColorTransparent);
    setChecked(IDC_SKEW_TRANSPARENT, setting.rotateSlopeColorTransparent);
}

void RotatePage::apply(AppSetting& setting)
{
    setting.rotateEnable = enable.getCheck();
    int turn = 0;
    while (turn < LastTurn && !isChecked(turnButtons[turn]))
        ++turn;
    setting.rotateAssign = turn;
    setting.rotateAssignAngle = angle.getValue();
    setting.rotateAngleH = skewH.getValue();
    setting.rotateAngleV = skewV.getValue();
    setting.rotateAssignAngleColor = angleColor.colour();
    setting.rotateSlopeColor = skewColor.colour();
    setting.rotateAssignAngleColorTransparent = isChecked(IDC_ANGLE_TRANSPARENT);
    setting.rotateSlopeColorTransparent = isChecked(IDC_SKEW_TRANSPARENT);
}

void RotatePage::updateEnabledStates()
{
    bool on = enable.getCheck();
    enableItems({IDC_ROTATE_90, IDC_ROTATE_180, IDC_ROTATE_270, IDC_ROTATE_ANGLE, IDC_ROTATE_SKEW}, on);
    enableItems({IDC_ANGLE_LABEL, IDC_ANGLE, IDC_ANGLE_UNIT, IDC_ANGLE_COLOR_LABEL, IDC_ANGLE_SWATCH,
                 IDC_ANGLE_CHOOSE, IDC_ANGLE_TRANSPARENT},
                on && isChecked(IDC_ROTATE_ANGLE));
    enableItems({IDC_SKEW_H_LABEL, IDC_SKEW_H, IDC_SKEW_H_UNIT, IDC_SKEW_V_LABEL, IDC_SKEW_V, IDC_SKEW_V_UNIT,
                 IDC_SKEW_COLOR_LABEL, IDC_SKEW_SWATCH, IDC_SKEW_CHOOSE, IDC_SKEW_TRANSPARENT},
                on && isChecked(IDC_ROTATE_SKEW));
}

void RotatePage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
    case IDC_ROTATE_90:
    case IDC_ROTATE_180:
    case IDC_ROTATE_270:
    case IDC_ROTATE_ANGLE:
    case IDC_ROTATE_SKEW:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_ANGLE:
    case IDC_SKEW_H:
    case IDC_SKEW_V:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_ANGLE_TRANSPARENT:
    case IDC_SKEW_TRANSPARENT:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_ANGLE_CHOOSE:
        if (code == BN_CLICKED)
            chooseColor(angleColor);
        return;
    case IDC_SKEW_CHOOSE:
        if (code == BN_CLICKED)
            chooseColor(skewColor);
        return;
    default:
        return;
    }
    setChanged();
}

HBRUSH RotatePage::staticBrush(HWND control, HDC)
{
    if (control == angleSwatch.getHandle())
        return angleColor.brush();
    if (control == skewSwatch.getHandle())
        return skewColor.brush();
    return nullptr;
}

void RotatePage::releaseWindowResources()
{
    angleColor.release();
    skewColor.release();
}
