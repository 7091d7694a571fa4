#include "pages/AppearancePage.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"

namespace {

enum Shape { EllipseShape = 0, CircleShape = 1, FrameShape = 2 };

} // namespace

AppearancePage::AppearancePage() : SettingPage(IDC_ENABLE)
{
}

void AppearancePage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.appearanceEnable);
    x.colour(IDC_CHOOSE_COLOR, s.appearanceBackColor, IDC_BACK_COLOR_SWATCH);
    x.choice(IDC_SHAPE, s.appearanceRgnType, IDS_SHAPES);
    x.number(IDC_ELLIPSE_WIDTH, s.appearanceEllipseWidth, 0, 9999);
    x.number(IDC_ELLIPSE_HEIGHT, s.appearanceEllipseHeight, 0, 9999);
    x.number(IDC_FRAME_WIDTH, s.appearanceFrameWidth, 0, 999);
    x.number(IDC_FRAME_HEIGHT, s.appearanceFrameHeight, 0, 999);
}

void AppearancePage::command(int id, int code)
{
    if (!(id == IDC_ENABLE && code == BN_CLICKED) && !(id == IDC_SHAPE && code == CBN_SELCHANGE))
        return;
    bool on = isChecked(IDC_ENABLE);
    int chosen = selectionOf(IDC_SHAPE);
    enableItems({IDC_BACK_COLOR_LABEL, IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE_LABEL, IDC_SHAPE}, on);
    enableItems({IDC_ELLIPSE_WIDTH_LABEL, IDC_ELLIPSE_WIDTH, IDC_ELLIPSE_HEIGHT_LABEL, IDC_ELLIPSE_HEIGHT},
                on && chosen == EllipseShape);
    enableItems({IDC_FRAME_WIDTH_LABEL, IDC_FRAME_WIDTH, IDC_FRAME_HEIGHT_LABEL, IDC_FRAME_HEIGHT},
                on && chosen == FrameShape);
}
