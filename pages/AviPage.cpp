#include "pages/AviPage.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"

namespace {

// The delay is kept in hundredths of a second and edited in seconds.
const Decimal Hundred(100);

} // namespace

AviPage::AviPage() : SettingPage(IDC_ANIME_TRANSPARENT)
{
}

void AviPage::bindControls()
{
    bind(framesPerSecond, IDC_AVI_FPS);
    bind(delay, IDC_ANIME_ELAPSE);
    bind(transparent, IDC_ANIME_TRANSPARENT);
    bind(assignColor, IDC_ANIME_ASSIGN_COLOR);
    bind(swatch, IDC_ANIME_SWATCH);
    bind(chooseButton, IDC_ANIME_CHOOSE_COLOR);
}

void AviPage::fill(const AppSetting& setting)
{
    setNumber(framesPerSecond, 1, 30, setting.fileAviFPS);
    setNumber(delay, Decimal(1).divide(Hundred), Decimal(65535).divide(Hundred), 2,
              Decimal(setting.fileAnimeGifElapse).divide(Hundred));
    transparent.setCheck(setting.fileAnimeGifAssignTransparent);
    assignColor.setCheck(setting.fileAnimeGifAssignTransparentColor);
    transparentColor.reset(getHandle(), setting.fileAnimeGifTransparentColor);
}

void AviPage::apply(AppSetting& setting)
{
    setting.fileAviFPS = wholeNumber(framesPerSecond);
    setting.fileAnimeGifElapse = delay.getValue().multiply(Hundred).toInt();
    setting.fileAnimeGifAssignTransparent = transparent.getCheck();
    setting.fileAnimeGifAssignTransparentColor = assignColor.getCheck();
    setting.fileAnimeGifTransparentColor = transparentColor.colour();
}

void AviPage::command(int id, int code)
{
    switch (id) {
    case IDC_ANIME_TRANSPARENT:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_ANIME_ASSIGN_COLOR}, transparent.getCheck());
        enableItems({IDC_ANIME_SWATCH, IDC_ANIME_CHOOSE_COLOR}, transparent.getCheck() && assignColor.getCheck());
        break;
    case IDC_ANIME_ASSIGN_COLOR:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_ANIME_SWATCH, IDC_ANIME_CHOOSE_COLOR}, transparent.getCheck() && assignColor.getCheck());
        break;
    case IDC_ANIME_CHOOSE_COLOR:
        if (code == BN_CLICKED)
            chooseColor(transparentColor);
        return;
    case IDC_AVI_FPS:
    case IDC_ANIME_ELAPSE:
        if (code != EN_CHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

HBRUSH AviPage::staticBrush(HWND control, HDC)
{
    return control == swatch.getHandle() ? transparentColor.brush() : nullptr;
}
