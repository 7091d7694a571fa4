#pragma once
#include "toolkit/PropSheet.h"

class SettingPage;

// One option sheet of the program, shown modally over the main window with a title of the string table (the
// sheet's strings header names it).
// Each page's tab label is the caption of its dialog template; pages are added in tab order. The caller owns
// the pages, which must outlive the sheet (declare them before it).
//
//     TrimmingPage trimming;
//     ...
//     SettingSheet sheet(IDS_CONVERSION_SHEET);
//     sheet.rememberPageIn(setting.windowIndexConvertSetting);
//     sheet.add(trimming, IDD_TRIMMING);
//     ...
//     sheet.show(mainWindow);
class SettingSheet {
public:
    // A malformed list of dialog faces in the settings throws Exception 87.
    explicit SettingSheet(UINT titleId) : titleId(titleId) {}
    SettingSheet(const SettingSheet&) = delete;
    SettingSheet& operator=(const SettingSheet&) = delete;

    // Settings pages added after this store the page that is current at OK or Apply in the setting, and the
    // sheet opens at the page it names.
    void rememberPageIn(int& indexSetting) { remembered = &indexSetting; }
    // Settings pages added after this set the flag when they apply.
    void reportApplyTo(bool& applied) { appliedFlag = &applied; }
    // The page the sheet opens at when it does not remember one.
    void startAt(int page) { startPage = page; }
    void hideApplyButton() { noApply = true; }

    void add(SettingPage& page, UINT templateId);
    // A page that edits no settings of the record's own (format and picture pages).
    void add(PropPage& page, UINT templateId);
    int pageCount() const { return sheet.getPageCount(); }

    // The result of the property sheet: positive when a page was applied.
    INT_PTR show(HWND parent);

private:
    UINT titleId;
    AppPropSheet sheet;
    int* remembered = nullptr;
    bool* appliedFlag = nullptr;
    int startPage = 0;
    bool noApply = false;
};

// The format page of each output format (0 JPEG, 1 GIF, 2 TIFF, 3 PNG, 4 BMP, 5 WDP, 6 HDP) in the format
// sheet, whose pages are JPEG, GIF, TIFF, PNG, HD Photo and Bitmap; an unknown format gives the first page.
int formatSheetPageOf(int outputFormat);
// The dialog template of that page: 1211 to 1216 in the order of the format sheet.
UINT formatPageTemplateOf(int outputFormat);
