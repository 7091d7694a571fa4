#include "pages/BmpFormatPage.h"
#include "pages/formatPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int DepthIds[] = {IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1};
enum Depth { FullColor = 0, Colors256 = 1, Colors16 = 2, TwoColors = 3 };

} // namespace

BmpFormatPage::BmpFormatPage() : SettingPage(IDC_FORMAT_ENABLE)
{
}

void BmpFormatPage::bindControls()
{
    bind(enable, IDC_FORMAT_ENABLE);
    for (int i = 0; i < 4; ++i)
        bind(depths[i], DepthIds[i]);
    bind(palette8, IDC_PAL8);
    bind(palette4, IDC_PAL4);
    bind(errorDiffusion, IDC_ERROR_DIFFUSION);
}

void BmpFormatPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.bitmapEnable);
    // A depth the page does not know ticks none; applying then keeps it.
    if (setting.bitmapBpp >= FullColor && setting.bitmapBpp <= TwoColors)
        depths[setting.bitmapBpp].setCheck(true);
    fillList(palette8, IDS_PAL8_PALETTES, setting.bitmapPal8);
    fillList(palette4, IDS_PAL4_PALETTES, setting.bitmapPal4);
    errorDiffusion.setCheck(setting.bitmapErrorDiffusion);
}

void BmpFormatPage::apply(AppSetting& setting)
{
    setting.bitmapEnable = enable.getCheck();
    for (int i = 0; i < 4; ++i) {
        if (depths[i].getCheck()) {
            setting.bitmapBpp = i;
            break;
        }
    }
    setting.bitmapPal8 = palette8.getCurSel();
    setting.bitmapPal4 = palette4.getCurSel();
    setting.bitmapErrorDiffusion = errorDiffusion.getCheck();
}

void BmpFormatPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    enableItems({IDC_BPP_24, IDC_BPP_8, IDC_BPP_4, IDC_BPP_1}, on);
    enableItems({IDC_PAL8}, on && depths[Colors256].getCheck());
    enableItems({IDC_PAL4}, on && depths[Colors16].getCheck());
    enableItems({IDC_ERROR_DIFFUSION}, on && !depths[FullColor].getCheck());
}

void BmpFormatPage::command(int id, int code)
{
    switch (id) {
    case IDC_FORMAT_ENABLE:
    case IDC_BPP_24:
    case IDC_BPP_8:
    case IDC_BPP_4:
    case IDC_BPP_1:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        break;
    case IDC_PAL8:
    case IDC_PAL4:
        if (code != CBN_SELCHANGE)
            return;
        break;
    case IDC_ERROR_DIFFUSION:
        if (code != BN_CLICKED)
            return;
        break;
    default:
        return;
    }
    setChanged();
}
