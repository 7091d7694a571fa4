#include "pages/ResizePage.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"

namespace {

enum Adjust { Direct = 0, Square = 2, GoldenRatio = 3, SilverRatio = 4, GivenRatio = 5 };
enum Orientation { ByWidth = 0, ByHeight = 1 };

constexpr int RatioDecimals = 4;

// The ratio shown in place of the ratio field for the fixed shapes; null for the others.
const wchar_t* fixedRatioOf(int adjust)
{
    switch (adjust) {
    case Square:
        return L"1";
    case GoldenRatio:
        return L"1.6";
    case SilverRatio:
        return L"1.414";
    default:
        return nullptr;
    }
}

} // namespace

ResizePage::ResizePage() : SettingPage(IDC_ENABLE), size(1, 9999, 25, 400)
{
}

void ResizePage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.resizeEnable);
    x.unit(size, IDC_UNIT_PIXEL, IDC_UNIT_PERCENT, s.resizeUnit);
    x.size(size, IDC_WIDTH, s.resizeWidth, s.resizeWidthPer);
    x.size(size, IDC_HEIGHT, s.resizeHeight, s.resizeHeightPer);
    x.choice(IDC_ADJUST, s.resizeAdjust, IDS_ADJUSTS);
    x.choice(IDC_ORIENTATION, s.resizeOrientation, IDS_ORIENTATIONS);
    x.number(IDC_RATIO, s.resizeScale, Decimal(0), Decimal(10), RatioDecimals);
    x.radio(IDC_RESIZE_FIT, IDC_RESIZE_STRETCH, s.resizeStretch);
    x.colour(IDC_CHOOSE_COLOR, s.resizeBackColor, IDC_BACK_COLOR_SWATCH);
    x.check(IDC_BACK_TRANSPARENT, s.resizeBackColorTransparent);
    x.radio({IDC_INTERPOLATION_NONE, IDC_INTERPOLATION_NORMAL, IDC_INTERPOLATION_HIGH}, s.resizeInterpolation, 2);
    x.pictureChoice(IDC_RENDER_POSITION, s.resizeRenderPosition, IDS_RENDER_POSITIONS, pictures.pictograms,
                    pictures.pictogramCount);
}

void ResizePage::updateSizeRules()
{
    bool on = isChecked(IDC_ENABLE);
    int shape = selectionOf(IDC_ADJUST);
    bool direct = shape == Direct || shape < 0;
    int side = selectionOf(IDC_ORIENTATION);
    enableItems({IDC_WIDTH, IDC_WIDTH_LABEL}, on && (direct || side != ByHeight));
    enableItems({IDC_HEIGHT, IDC_HEIGHT_LABEL}, on && (direct || side != ByWidth));
    enableItems({IDC_ORIENTATION, IDC_RATIO_LABEL, IDC_RATIO_FIXED}, on && !direct);
    enableItems({IDC_RATIO}, on && shape == GivenRatio);
    const wchar_t* fixed = fixedRatioOf(shape);
    if (fixed)
        SetDlgItemTextW(liveHandle(), IDC_RATIO_FIXED, fixed);
    showItem(IDC_RATIO_FIXED, fixed != nullptr);
    showItem(IDC_RATIO, fixed == nullptr);
}

void ResizePage::updateStretchRules()
{
    bool on = isChecked(IDC_ENABLE);
    bool stretch = isChecked(IDC_RESIZE_STRETCH);
    enableItems({IDC_BACK_COLOR_LABEL, IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_BACK_TRANSPARENT,
                 IDC_RENDER_POSITION_LABEL, IDC_RENDER_POSITION},
                on && !stretch);
    enableItems({IDC_INTERPOLATION_GROUP, IDC_INTERPOLATION_NONE, IDC_INTERPOLATION_NORMAL, IDC_INTERPOLATION_HIGH},
                on && stretch);
}

void ResizePage::command(int id, int code)
{
    if (id == IDC_ENABLE && code == BN_CLICKED) {
        enableItems({IDC_UNIT_PIXEL, IDC_UNIT_PERCENT, IDC_ADJUST, IDC_RESIZE_FIT, IDC_RESIZE_STRETCH},
                    isChecked(IDC_ENABLE));
        updateSizeRules();
        updateStretchRules();
    } else if ((id == IDC_RESIZE_FIT || id == IDC_RESIZE_STRETCH) && code == BN_CLICKED) {
        updateStretchRules();
    } else if ((id == IDC_ADJUST || id == IDC_ORIENTATION) && code == CBN_SELCHANGE) {
        updateSizeRules();
    }
}
