#include "pages/ResizePage.h"
#include "pages/conversionPageIds.h"
#include "pages/pictureImageList.h"
#include "settings/AppSetting.h"

namespace {

enum Adjust { Direct = 0, Square = 2, GoldenRatio = 3, SilverRatio = 4, GivenRatio = 5 };
enum Orientation { ByWidth = 0, ByHeight = 1 };
enum Side { Width, Height };

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

void ResizePage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(width, IDC_WIDTH);
    bind(height, IDC_HEIGHT);
    bind(adjust, IDC_ADJUST);
    bind(orientation, IDC_ORIENTATION);
    bind(ratio, IDC_RATIO);
    bind(fixedRatio, IDC_RATIO_FIXED);
    bind(swatch, IDC_BACK_COLOR_SWATCH);
    bind(renderPosition, IDC_RENDER_POSITION);
}

void ResizePage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.resizeEnable);
    size.clear();
    size.add(width, setting.resizeWidth, setting.resizeWidthPer);
    size.add(height, setting.resizeHeight, setting.resizeHeightPer);
    bool percent = setting.resizeUnit == 1;
    setChecked(percent ? IDC_UNIT_PERCENT : IDC_UNIT_PIXEL, true);
    size.show(percent);
    fillList(adjust, IDS_ADJUSTS, setting.resizeAdjust);
    fillList(orientation, IDS_ORIENTATIONS, setting.resizeOrientation);
    setNumber(ratio, Decimal(0), Decimal(10), RatioDecimals, setting.resizeScale);
    setChecked(setting.resizeStretch ? IDC_RESIZE_STRETCH : IDC_RESIZE_FIT, true);
    backColor.reset(getHandle(), setting.resizeBackColor);
    setChecked(IDC_BACK_TRANSPARENT, setting.resizeBackColorTransparent);
    int interpolation = setting.resizeInterpolation;
    setChecked(interpolation == 0   ? IDC_INTERPOLATION_NONE
               : interpolation == 1 ? IDC_INTERPOLATION_NORMAL
                                    : IDC_INTERPOLATION_HIGH,
               true);
    wstringArray positions;
    loadListItems(IDS_RENDER_POSITIONS, positions);
    fillPictureList(renderPosition, positionImages, pictures.pictograms, pictures.pictogramCount, positions,
                    setting.resizeRenderPosition);
}

void ResizePage::apply(AppSetting& setting)
{
    size.keepShown();
    setting.resizeEnable = enable.getCheck();
    setting.resizeWidth = size.pixels(Width);
    setting.resizeHeight = size.pixels(Height);
    setting.resizeWidthPer = size.percent(Width);
    setting.resizeHeightPer = size.percent(Height);
    setting.resizeUnit = isChecked(IDC_UNIT_PERCENT) ? 1 : 0;
    setting.resizeAdjust = adjust.getCurSel();
    setting.resizeOrientation = orientation.getCurSel();
    setting.resizeScale = ratio.getValue();
    setting.resizeBackColor = backColor.colour();
    setting.resizeBackColorTransparent = isChecked(IDC_BACK_TRANSPARENT);
    setting.resizeRenderPosition = static_cast<int>(renderPosition.sendMessage(CB_GETCURSEL));
    setting.resizeStretch = isChecked(IDC_RESIZE_STRETCH);
    setting.resizeInterpolation = isChecked(IDC_INTERPOLATION_NONE)     ? 0
                                  : isChecked(IDC_INTERPOLATION_NORMAL) ? 1
                                                                        : 2;
}

void ResizePage::updateSizeRules()
{
    bool on = enable.getCheck();
    int shape = adjust.getCurSel();
    bool direct = shape == Direct || shape < 0;
    int side = orientation.getCurSel();
    enableItems({IDC_WIDTH, IDC_WIDTH_LABEL}, on && (direct || side != ByHeight));
    enableItems({IDC_HEIGHT, IDC_HEIGHT_LABEL}, on && (direct || side != ByWidth));
    enableItems({IDC_ORIENTATION, IDC_RATIO_LABEL, IDC_RATIO_FIXED}, on && !direct);
    enableItems({IDC_RATIO}, on && shape == GivenRatio);
    const wchar_t* fixed = fixedRatioOf(shape);
    if (fixed)
        fixedRatio.setText(fixed);
    fixedRatio.show(fixed != nullptr);
    ratio.show(fixed == nullptr);
}

void ResizePage::updateStretchRules()
{
    bool on = enable.getCheck();
    bool stretch = isChecked(IDC_RESIZE_STRETCH);
    enableItems({IDC_BACK_COLOR_LABEL, IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_BACK_TRANSPARENT,
                 IDC_RENDER_POSITION_LABEL, IDC_RENDER_POSITION},
                on && !stretch);
    enableItems({IDC_INTERPOLATION_GROUP, IDC_INTERPOLATION_NONE, IDC_INTERPOLATION_NORMAL, IDC_INTERPOLATION_HIGH},
                on && stretch);
}

void ResizePage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_UNIT_PIXEL, IDC_UNIT_PERCENT, IDC_ADJUST, IDC_RESIZE_FIT, IDC_RESIZE_STRETCH},
                    enable.getCheck());
        updateSizeRules();
        updateStretchRules();
        break;
    case IDC_RESIZE_FIT:
    case IDC_RESIZE_STRETCH:
        if (code != BN_CLICKED)
            return;
        updateStretchRules();
        break;
    case IDC_ADJUST:
    case IDC_ORIENTATION:
        if (code != CBN_SELCHANGE)
            return;
        updateSizeRules();
        break;
    case IDC_UNIT_PIXEL:
    case IDC_UNIT_PERCENT:
        if (code != BN_CLICKED)
            return;
        size.switchTo(id == IDC_UNIT_PERCENT);
        break;
    case IDC_WIDTH:
    case IDC_HEIGHT:
    case IDC_RATIO:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_INTERPOLATION_NONE:
    case IDC_INTERPOLATION_NORMAL:
    case IDC_INTERPOLATION_HIGH:
    case IDC_BACK_TRANSPARENT:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_RENDER_POSITION:
        if (code != CBN_SELCHANGE)
            return;
        break;
    case IDC_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(backColor);
        return;
    default:
        return;
    }
    setChanged();
}

HBRUSH ResizePage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? backColor.brush() : nullptr;
}

void ResizePage::releaseWindowResources()
{
    backColor.release();
    // The list stays with the page until the page goes; the drop-down list must not show it after that.
    if (renderPosition.getHandle())
        renderPosition.setImageList(nullptr);
}
