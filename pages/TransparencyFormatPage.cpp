#include "pages/TransparencyFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

TransparencyFormatPage::TransparencyFormatPage(bool withAlpha) : SettingPage(IDC_FORMAT_ENABLE), withAlpha(withAlpha)
{
}

void TransparencyFormatPage::bindControls()
{
    bind(enable, IDC_FORMAT_ENABLE);
    bind(assignColor, IDC_FORMAT_ASSIGN_COLOR);
    bind(swatch, IDC_FORMAT_SWATCH);
    bind(chooseButton, IDC_FORMAT_CHOOSE_COLOR);
    if (!withAlpha)
        return;
    bind(alphaLabel, IDC_PNG_ALPHA_LABEL);
    bind(alpha, IDC_PNG_ALPHA);
}

void TransparencyFormatPage::fill(const AppSetting& setting)
{
    Options options = read(setting);
    enable.setCheck(options.enable);
    assignColor.setCheck(options.assignColor);
    transparentColor.reset(getHandle(), options.color);
    if (withAlpha)
        setNumber(alpha, 0, 255, options.alpha);
}

void TransparencyFormatPage::apply(AppSetting& setting)
{
    Options options;
    options.enable = enable.getCheck();
    options.assignColor = assignColor.getCheck();
    options.color = transparentColor.colour();
    if (withAlpha)
        options.alpha = wholeNumber(alpha);
    write(setting, options);
}

void TransparencyFormatPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    enableItems({IDC_FORMAT_ASSIGN_COLOR}, on);
    if (withAlpha)
        enableItems({IDC_PNG_ALPHA_LABEL, IDC_PNG_ALPHA}, on);
    enableItems({IDC_FORMAT_SWATCH, IDC_FORMAT_CHOOSE_COLOR}, on && assignColor.getCheck());
}

void TransparencyFormatPage::command(int id, int code)
{
    switch (id) {
    case IDC_FORMAT_ENABLE:
    case IDC_FORMAT_ASSIGN_COLOR:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_FORMAT_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(transparentColor);
        return;
    case IDC_PNG_ALPHA:
        if (code != EN_CHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

HBRUSH TransparencyFormatPage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? transparentColor.brush() : nullptr;
}

// ---- GIF ----

TransparencyFormatPage::Options GifFormatPage::read(const AppSetting& setting) const
{
    return {setting.gifEnable, setting.gifAssignTransparentColor, setting.gifTransparentColor, 0};
}

void GifFormatPage::write(AppSetting& setting, const Options& options) const
{
    setting.gifEnable = options.enable;
    setting.gifAssignTransparentColor = options.assignColor;
    setting.gifTransparentColor = options.color;
}

// ---- PNG ----

TransparencyFormatPage::Options PngFormatPage::read(const AppSetting& setting) const
{
    return {setting.pngEnable, setting.pngAssignTransparentColor, setting.pngTransparentColor, setting.pngAlpha};
}

void PngFormatPage::write(AppSetting& setting, const Options& options) const
{
    setting.pngEnable = options.enable;
    setting.pngAssignTransparentColor = options.assignColor;
    setting.pngTransparentColor = options.color;
    setting.pngAlpha = options.alpha;
}
