#include "pages/EnvironmentSheet.h"
#include "pages/AviPage.h"
#include "pages/EtcPage.h"
#include "pages/PrevPage.h"
#include "pages/SavePage.h"
#include "pages/SettingSheet.h"
#include "pages/SplitPage.h"
#include "pages/ThumbNailPage.h"
#include "pages/environmentPageIds.h"
#include "pages/environmentSheetStrings.h"
#include "toolkit/NumericEdit.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

void openEnvironmentSheet(HWND mainWindow, const PagePictures& pictures)
{
    // The pages' own control classes; registering them again costs nothing.
    NumericEdit::registerClass();
    ShlTreeView::registerClass();
    PrevPage preview(mainWindow, pictures);
    SavePage save;
    ThumbNailPage thumbnail;
    SplitPage split;
    AviPage movie;
    EtcPage other;
    SettingSheet sheet(IDS_ENVIRONMENT_SHEET);
    sheet.rememberPageIn(getAppSetting().windowIndexSetting);
    sheet.add(preview, IDD_PREV);
    sheet.add(save, IDD_SAVE);
    sheet.add(thumbnail, IDD_THUMBNAIL);
    sheet.add(split, IDD_SPLIT);
    sheet.add(movie, IDD_AVI);
    sheet.add(other, IDD_ETC);
    sheet.show(mainWindow);
}
