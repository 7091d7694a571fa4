#include "pages/PrevPage.h"
#include "mainwindow/mainWindowMessages.h"
#include "pages/environmentPageIds.h"
#include "pages/environmentSheetStrings.h"
#include "settings/AppSetting.h"

PrevPage::PrevPage(HWND mainWindow, const PagePictures& pictures)
    : SettingPage(IDC_PREV_USE_TRANSPARENT), mainWindow(mainWindow), pictures(pictures)
{
}

void PrevPage::exchange(PageExchange& x, AppSetting& s)
{
    x.number(IDC_PREV_INIT_WIDTH, s.viewPreviewInitWidth, 100, 9999);
    x.number(IDC_PREV_INIT_HEIGHT, s.viewPreviewInitHeight, 100, 9999);
    x.check(IDC_PREV_USE_TRANSPARENT, s.viewPreviewUseTransparent);
    x.number(IDC_PREV_TRANSPARENT, s.viewPreviewTransparent, 0, 90);
    // Original size, stretched, stretched keeping the aspect ratio.
    x.radio({IDC_PREV_MODE_ORIGINAL, IDC_PREV_MODE_STRETCH, IDC_PREV_MODE_KEEP_ASPECT}, s.viewPreviewInitMode);
    x.check(IDC_PREV_SHOW_HINTS, s.viewPreviewShowHints);
    // Item 0 ("none") has no picture; item n shows swatch n - 1.
    int shownBefore = s.viewPreviewBack;
    x.pictureChoice(IDC_PREV_BACK, s.viewPreviewBack, IDS_PREVIEW_BACKS, pictures.swatches, pictures.swatchCount, 1);
    if (x.isApplying() && s.viewPreviewBack != shownBefore)
        SendMessageW(mainWindow, PreviewBackgroundMessage, 0, 0);
}

void PrevPage::command(int id, int code)
{
    if (id == IDC_PREV_USE_TRANSPARENT && code == BN_CLICKED)
        enableItems({IDC_PREV_TRANSPARENT_LABEL, IDC_PREV_TRANSPARENT, IDC_PREV_PERCENT},
                    isChecked(IDC_PREV_USE_TRANSPARENT));
}
