#include "pages/BmpFormatPage.h"
#include "pages/formatPageIds.h"
#include "pages/formatSheetStrings.h"
#include "settings/AppSetting.h"

BmpFormatPage::BmpFormatPage() : SettingPage(IDC_FORMAT_ENABLE)
{
}

void BmpFormatPage::exchange(PageExchange& x, AppSetting& setting)
{
    x.check(IDC_FORMAT_ENABLE, setting.bitmapEnable);
    // 24, 8, 4 and 1 bit, in the order of the stored depth choice. A depth the page does not know ticks none;
    // applying then keeps it.
    x.radio({IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1}, setting.bitmapBpp, -1);
    x.choice(IDC_PAL8, setting.bitmapPal8, IDS_PAL8_PALETTES);
    x.choice(IDC_PAL4, setting.bitmapPal4, IDS_PAL4_PALETTES);
    x.check(IDC_ERROR_DIFFUSION, setting.bitmapErrorDiffusion);
}

void BmpFormatPage::command(int, int code)
{
    if (code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_FORMAT_ENABLE);
    enableItems({IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1}, on);
    enableItems({IDC_PAL8}, on && isChecked(IDC_BPP_8));
    enableItems({IDC_PAL4}, on && isChecked(IDC_BPP_4));
    enableItems({IDC_ERROR_DIFFUSION}, on && !isChecked(IDC_BPP_24));
}
