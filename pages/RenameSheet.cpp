#include "pages/RenameSheet.h"
#include "pages/FilterPage.h"
#include "pages/OutputExtPage.h"
#include "pages/RenamePage.h"
#include "pages/SettingSheet.h"
#include "pages/renamePageIds.h"
#include "pages/renameSheetStrings.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "toolkit/HtmlPanel.h"
#include "toolkit/NumericEdit.h"

void showRenameSheet(HWND owner)
{
    // The pages' own controls; registering them again is harmless.
    HtmlPanel::registerClass();
    NumericEdit::registerClass();
    RenamePage rename;
    FilterPage filter;
    OutputExtPage extensions;
    SettingSheet sheet(IDS_RENAME_SHEET);
    sheet.rememberPageIn(getAppSetting().windowIndexRenameSetting);
    sheet.add(rename, IDD_RENAME);
    sheet.add(filter, IDD_FILTER);
    sheet.add(extensions, IDD_OUTPUT_EXT);
    sheet.show(owner);
}
