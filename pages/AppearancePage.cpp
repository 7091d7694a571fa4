#include "pages/AppearancePage.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

enum Shape { EllipseShape = 0, CircleShape = 1, FrameShape = 2 };

} // namespace

AppearancePage::AppearancePage() : SettingPage(IDC_ENABLE)
{
}

void AppearancePage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(swatch, IDC_BACK_COLOR_SWATCH);
    bind(shape, IDC_SHAPE);
    bind(ellipseWidth, IDC_ELLIPSE_WIDTH);
    bind(ellipseHeight, IDC_ELLIPSE_HEIGHT);
    bind(frameWidth, IDC_FRAME_WIDTH);
    bind(frameHeight, IDC_FRAME_HEIGHT);
}

void AppearancePage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.appearanceEnable);
    backColor.reset(getHandle(), setting.appearanceBackColor);
    fillList(shape, IDS_SHAPES, setting.appearanceRgnType);
    setNumber(ellipseWidth, 0, 9999, setting.appearanceEllipseWidth);
    setNumber(ellipseHeight, 0, 9999, setting.appearanceEllipseHeight);
    setNumber(frameWidth, 0, 999, setting.appearanceFrameWidth);
    setNumber(frameHeight, 0, 999, setting.appearanceFrameHeight);
}

void AppearancePage::apply(AppSetting& setting)
{
    setting.appearanceEnable = enable.getCheck();
    setting.appearanceBackColor = backColor.colour();
    setting.appearanceRgnType = shape.getCurSel();
    setting.appearanceEllipseWidth = wholeNumber(ellipseWidth);
    setting.appearanceEllipseHeight = wholeNumber(ellipseHeight);
    setting.appearanceFrameWidth = wholeNumber(frameWidth);
    setting.appearanceFrameHeight = wholeNumber(frameHeight);
}

void AppearancePage::updateEnabledStates()
{
    bool on = enable.getCheck();
    int chosen = shape.getCurSel();
    enableItems({IDC_BACK_COLOR_LABEL, IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE_LABEL, IDC_SHAPE}, on);
    enableItems({IDC_ELLIPSE_WIDTH_LABEL, IDC_ELLIPSE_WIDTH, IDC_ELLIPSE_HEIGHT_LABEL, IDC_ELLIPSE_HEIGHT},
                on && chosen == EllipseShape);
    enableItems({IDC_FRAME_WIDTH_LABEL, IDC_FRAME_WIDTH, IDC_FRAME_HEIGHT_LABEL, IDC_FRAME_HEIGHT},
                on && chosen == FrameShape);
}

void AppearancePage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_SHAPE:
        if (code != CBN_SELCHANGE)
            return;
        updateEnabledStates();
        break;
    case IDC_CHOOSE_COLOR:
        // A confirmed colour marks the page changed itself; a cancelled one changes nothing.
        if (code == BN_CLICKED)
            chooseColor(backColor);
        return;
    case IDC_ELLIPSE_WIDTH:
    case IDC_ELLIPSE_HEIGHT:
    case IDC_FRAME_WIDTH:
    case IDC_FRAME_HEIGHT:
        if (code != EN_CHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

HBRUSH AppearancePage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? backColor.brush() : nullptr;
}
