#include "pages/ConversionSheet.h"
#include "mainwindow/mainWindowMessages.h"
#include "pages/SettingSheet.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

ConversionPages::ConversionPages(const wstring& samplePath, const PagePictures& pictures) : effect(samplePath)
{
    resize.setPictures(pictures);
    text.setPictures(pictures);
}

void ConversionPages::addTo(SettingSheet& sheet)
{
    sheet.add(trimming, IDD_TRIMMING);
    sheet.add(resize, IDD_RESIZE);
    sheet.add(text, IDD_TEXT);
    sheet.add(rotate, IDD_ROTATE);
    sheet.add(effect, IDD_EFFECT);
    sheet.add(appearance, IDD_APPEARANCE);
    sheet.add(order, IDD_ORDER);
}

namespace {

// Shows the sheet; the main window hears of it however the sheet closed, even when it could not be shown: the
// enabled steps may have changed, and with them the status bar's tip.
void showThenTell(SettingSheet& sheet, HWND mainWindow)
{
    try {
        sheet.show(mainWindow);
    } catch (...) {
        if (mainWindow)
            PostMessageW(mainWindow, SummaryTipMessage, 0, 0);
        throw;
    }
    if (mainWindow)
        PostMessageW(mainWindow, SummaryTipMessage, 0, 0);
}

} // namespace

void openConversionSheet(HWND mainWindow, const wstring& samplePath, const PagePictures& pictures)
{
    // The pages outlive the sheet, which is declared after them.
    ConversionPages pages(samplePath, pictures);
    SettingSheet sheet(IDS_CONVERSION_SHEET);
    sheet.rememberPageIn(getAppSetting().windowIndexConvertSetting);
    pages.addTo(sheet);
    showThenTell(sheet, mainWindow);
}

bool confirmConversionSettings(HWND mainWindow, const wstring& samplePath, const PagePictures& pictures,
                               PropPage* formatPage, int outputFormat)
{
    if (!getAppSetting().fileEnsureSetting)
        return true;
    bool applied = false;
    ConversionPages pages(samplePath, pictures);
    SettingSheet sheet(IDS_CONVERSION_SHEET);
    sheet.reportApplyTo(applied);
    sheet.hideApplyButton();
    pages.addTo(sheet);
    if (formatPage)
        sheet.add(*formatPage, formatPageTemplateOf(outputFormat));
    showThenTell(sheet, mainWindow);
    return applied;
}
