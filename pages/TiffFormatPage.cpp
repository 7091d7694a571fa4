#include "pages/TiffFormatPage.h"
#include "pages/formatPageIds.h"
#include "pages/formatSheetStrings.h"
#include "settings/AppSetting.h"

TiffFormatPage::TiffFormatPage() : SettingPage(IDC_FORMAT_ENABLE)
{
}

void TiffFormatPage::exchange(PageExchange& x, AppSetting& setting)
{
    x.check(IDC_FORMAT_ENABLE, setting.tiffEnable);
    x.choice(IDC_TIFF_COMPRESSION, setting.tiffCompression, IDS_TIFF_COMPRESSIONS);
    x.check(IDC_ERROR_DIFFUSION, setting.tiffErrorDiffusion);
    x.check(IDC_TIFF_TRANSPARENT, setting.tiffTransparent);
    x.check(IDC_FORMAT_ASSIGN_COLOR, setting.tiffAssignTransparentColor);
    x.colour(IDC_FORMAT_CHOOSE_COLOR, setting.tiffTransparentColor, IDC_FORMAT_SWATCH);
    x.number(IDC_TIFF_ALPHA, setting.tiffAlpha, 0, 255);
}

// Two-colour compressions can diffuse the error but have no room for transparency; the others the reverse.
void TiffFormatPage::command(int id, int code)
{
    bool rulesChange = code == BN_CLICKED || (id == IDC_TIFF_COMPRESSION && code == CBN_SELCHANGE);
    if (!rulesChange)
        return;
    bool on = isChecked(IDC_FORMAT_ENABLE);
    bool bilevel = AppSetting::isBilevelCompressionChoice(selectionOf(IDC_TIFF_COMPRESSION));
    bool transparency = on && !bilevel && isChecked(IDC_TIFF_TRANSPARENT);
    enableItems({IDC_TIFF_COMPRESSION_LABEL, IDC_TIFF_COMPRESSION}, on);
    enableItems({IDC_ERROR_DIFFUSION}, on && bilevel);
    enableItems({IDC_TIFF_TRANSPARENT}, on && !bilevel);
    enableItems({IDC_FORMAT_ASSIGN_COLOR, IDC_TIFF_ALPHA_LABEL, IDC_TIFF_ALPHA}, transparency);
    enableItems({IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, transparency && isChecked(IDC_FORMAT_ASSIGN_COLOR));
}
