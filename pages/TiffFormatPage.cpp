#include "pages/TiffFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

TiffFormatPage::TiffFormatPage() : SettingPage(IDC_FORMAT_ENABLE)
{
}

void TiffFormatPage::bindControls()
{
    bind(enable, IDC_FORMAT_ENABLE);
    bind(compressionLabel, IDC_TIFF_COMPRESSION_LABEL);
    bind(compression, IDC_TIFF_COMPRESSION);
    bind(errorDiffusion, IDC_ERROR_DIFFUSION);
    bind(transparent, IDC_TIFF_TRANSPARENT);
    bind(assignColor, IDC_FORMAT_ASSIGN_COLOR);
    bind(swatch, IDC_FORMAT_SWATCH);
    bind(chooseButton, IDC_FORMAT_CHOOSE_COLOR);
    bind(alphaLabel, IDC_TIFF_ALPHA_LABEL);
    bind(alpha, IDC_TIFF_ALPHA);
}

void TiffFormatPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.tiffEnable);
    fillList(compression, IDS_TIFF_COMPRESSIONS, setting.tiffCompression);
    errorDiffusion.setCheck(setting.tiffErrorDiffusion);
    transparent.setCheck(setting.tiffTransparent);
    assignColor.setCheck(setting.tiffAssignTransparentColor);
    transparentColor.reset(getHandle(), setting.tiffTransparentColor);
    setNumber(alpha, 0, 255, setting.tiffAlpha);
}

void TiffFormatPage::apply(AppSetting& setting)
{
    setting.tiffEnable = enable.getCheck();
    setting.tiffCompression = compression.getCurSel();
    setting.tiffErrorDiffusion = errorDiffusion.getCheck();
    setting.tiffTransparent = transparent.getCheck();
    setting.tiffAssignTransparentColor = assignColor.getCheck();
    setting.tiffTransparentColor = transparentColor.colour();
    setting.tiffAlpha = wholeNumber(alpha);
}

// Two-colour compressions can diffuse the error but have no room for transparency; the others the reverse.
void TiffFormatPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    bool bilevel = AppSetting::isBilevelCompressionChoice(compression.getCurSel());
    bool transparency = on && !bilevel && transparent.getCheck();
    enableItems({IDC_TIFF_COMPRESSION_LABEL, IDC_TIFF_COMPRESSION}, on);
    enableItems({IDC_ERROR_DIFFUSION}, on && bilevel);
    enableItems({IDC_TIFF_TRANSPARENT}, on && !bilevel);
    enableItems({IDC_FORMAT_ASSIGN_COLOR, IDC_TIFF_ALPHA_LABEL, IDC_TIFF_ALPHA}, transparency);
    enableItems({IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, transparency && assignColor.getCheck());
}

void TiffFormatPage::command(int id, int code)
{
    switch (id) {
    case IDC_FORMAT_ENABLE:
    case IDC_TIFF_TRANSPARENT:
    case IDC_FORMAT_ASSIGN_COLOR:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_TIFF_COMPRESSION:
        if (code != CBN_SELCHANGE)
            return;
        updateEnabledStates();
        break;
    case IDC_FORMAT_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(transparentColor);
        return;
    case IDC_ERROR_DIFFUSION:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_TIFF_ALPHA:
        if (code != EN_CHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

HBRUSH TiffFormatPage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? transparentColor.brush() : nullptr;
}
