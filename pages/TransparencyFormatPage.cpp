#include "pages/TransparencyFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

TransparencyFormatPage::TransparencyFormatPage() : SettingPage(IDC_FORMAT_ENABLE)
{
}

void TransparencyFormatPage::exchange(PageExchange& x, AppSetting& setting)
{
    Options options = optionsIn(setting);
    x.check(IDC_FORMAT_ENABLE, options.enable);
    x.check(IDC_FORMAT_ASSIGN_COLOR, options.assignColor);
    x.colour(IDC_FORMAT_CHOOSE_COLOR, options.color, IDC_FORMAT_SWATCH);
    if (options.alpha)
        x.number(IDC_PNG_ALPHA, *options.alpha, 0, 255);
}

void TransparencyFormatPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_FORMAT_ENABLE);
    enableItems({IDC_FORMAT_ASSIGN_COLOR}, on);
    // The GIF page has no alpha field.
    if (GetDlgItem(liveHandle(), IDC_PNG_ALPHA))
        enableItems({IDC_PNG_ALPHA_LABEL, IDC_PNG_ALPHA}, on);
    enableItems({IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, on && isChecked(IDC_FORMAT_ASSIGN_COLOR));
}

// ---- GIF ----

TransparencyFormatPage::Options GifFormatPage::optionsIn(AppSetting& setting) const
{
    return {setting.gifEnable, setting.gifAssignTransparentColor, setting.gifTransparentColor, nullptr};
}

// ---- PNG ----

TransparencyFormatPage::Options PngFormatPage::optionsIn(AppSetting& setting) const
{
    return {setting.pngEnable, setting.pngAssignTransparentColor, setting.pngTransparentColor, &setting.pngAlpha};
}
