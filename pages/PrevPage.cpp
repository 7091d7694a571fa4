#include "pages/PrevPage.h"
#include "foundation/wstringArray.h"
#include "mainwindow/mainWindowMessages.h"
#include "pages/pictureImageList.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"

namespace {

enum PreviewMode { OriginalSize = 0, Stretch = 1, StretchKeepingAspect = 2 };

} // namespace

PrevPage::PrevPage(HWND mainWindow, const PagePictures& pictures)
    : SettingPage(IDC_PREV_USE_TRANSPARENT), mainWindow(mainWindow), pictures(pictures)
{
}

void PrevPage::bindControls()
{
    bind(initWidth, IDC_PREV_INIT_WIDTH);
    bind(initHeight, IDC_PREV_INIT_HEIGHT);
    bind(background, IDC_PREV_BACK);
    bind(useTransparent, IDC_PREV_USE_TRANSPARENT);
    bind(transparency, IDC_PREV_TRANSPARENT);
    bind(transparencyLabel, IDC_PREV_TRANSPARENT_LABEL);
    bind(percent, IDC_PREV_PERCENT);
    bind(showHints, IDC_PREV_SHOW_HINTS);
    bind(modeOriginal, IDC_PREV_MODE_ORIGINAL);
    bind(modeStretch, IDC_PREV_MODE_STRETCH);
    bind(modeKeepAspect, IDC_PREV_MODE_KEEP_ASPECT);
}

void PrevPage::fill(const AppSetting& setting)
{
    setNumber(initWidth, 100, 9999, setting.viewPreviewInitWidth);
    setNumber(initHeight, 100, 9999, setting.viewPreviewInitHeight);
    fillBackgrounds(setting.viewPreviewBack);
    useTransparent.setCheck(setting.viewPreviewUseTransparent);
    setNumber(transparency, 0, 90, setting.viewPreviewTransparent);
    switch (setting.viewPreviewInitMode) {
    case Stretch:
        modeStretch.setCheck(true);
        break;
    case StretchKeepingAspect:
        modeKeepAspect.setCheck(true);
        break;
    default:
        modeOriginal.setCheck(true);
        break;
    }
    showHints.setCheck(setting.viewPreviewShowHints);
}

// Item 0 ("none") has no picture; item n shows swatch n - 1.
void PrevPage::fillBackgrounds(int selection)
{
    swatchImages.attach(makePictureImageList(pictures.swatches, pictures.swatchCount));
    background.setImageList(swatchImages.handle());
    wstringArray items;
    loadListItems(IDS_PREVIEW_BACKS, items);
    for (int i = 0; i < items.count(); ++i)
        background.addItem(items.at(i), swatchImages.handle() ? i - 1 : -1);
    background.setCurSel(selection);
}

void PrevPage::apply(AppSetting& setting)
{
    bool backgroundChanged = background.getCurSel() != setting.viewPreviewBack;
    setting.viewPreviewInitWidth = wholeNumber(initWidth);
    setting.viewPreviewInitHeight = wholeNumber(initHeight);
    setting.viewPreviewUseTransparent = useTransparent.getCheck();
    setting.viewPreviewTransparent = wholeNumber(transparency);
    setting.viewPreviewBack = background.getCurSel();
    if (backgroundChanged)
        SendMessageW(mainWindow, PreviewBackgroundMessage, 0, 0);
    if (modeStretch.getCheck())
        setting.viewPreviewInitMode = Stretch;
    else if (modeKeepAspect.getCheck())
        setting.viewPreviewInitMode = StretchKeepingAspect;
    else
        setting.viewPreviewInitMode = OriginalSize;
    setting.viewPreviewShowHints = showHints.getCheck();
}

void PrevPage::command(int id, int code)
{
    switch (id) {
    case IDC_PREV_USE_TRANSPARENT:
        if (code != BN_CLICKED)
            return;
        enableItems({IDC_PREV_TRANSPARENT_LABEL, IDC_PREV_TRANSPARENT, IDC_PREV_PERCENT}, useTransparent.getCheck());
        break;
    case IDC_PREV_INIT_WIDTH:
    case IDC_PREV_INIT_HEIGHT:
    case IDC_PREV_TRANSPARENT:
        if (code != EN_CHANGE)
            return;
        break;
    case IDC_PREV_MODE_ORIGINAL:
    case IDC_PREV_MODE_STRETCH:
    case IDC_PREV_MODE_KEEP_ASPECT:
    case IDC_PREV_SHOW_HINTS:
        if (code != BN_CLICKED)
            return;
        break;
    case IDC_PREV_BACK:
        if (code != CBN_SELCHANGE)
            return;
        break;
    default:
        return;
    }
    setChanged();
}

void PrevPage::releaseWindowResources()
{
    // The list must not hold the images any more when they go.
    if (swatchImages.handle() && background.getHandle())
        background.setImageList(nullptr);
    swatchImages.destroyList();
}
