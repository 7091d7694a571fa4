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

void AviPage::exchange(PageExchange& x, AppSetting& s)
{
    x.number(IDC_AVI_FPS, s.fileAviFPS, 1, 30);
    Decimal seconds = Decimal(s.fileAnimeGifElapse).divide(Hundred);
    x.number(IDC_ANIME_ELAPSE, seconds, Decimal(1).divide(Hundred), Decimal(65535).divide(Hundred), 2);
    if (x.isApplying())
        s.fileAnimeGifElapse = seconds.multiply(Hundred).toInt();
    x.check(IDC_ANIME_TRANSPARENT, s.fileAnimeGifAssignTransparent);
    x.check(IDC_ANIME_ASSIGN_COLOR, s.fileAnimeGifAssignTransparentColor);
    x.colour(IDC_ANIME_CHOOSE_COLOR, s.fileAnimeGifTransparentColor, IDC_ANIME_SWATCH);
}

void AviPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool transparent = isChecked(IDC_ANIME_TRANSPARENT);
    enableItems({IDC_ANIME_ASSIGN_COLOR}, transparent);
    enableItems({IDC_ANIME_SWATCH, IDC_ANIME_CHOOSE_COLOR}, transparent && isChecked(IDC_ANIME_ASSIGN_COLOR));
}
