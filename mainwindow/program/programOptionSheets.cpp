// The option pages lie above the main window, so the program hands them to it here; every sheet a settings
// command opens is wired in this one place.
#include "mainwindow/program/programOptionSheets.h"
#include "mainwindow/MyApp.h"
#include "pages/ConversionSheet.h"
#include "pages/DlgSpi.h"
#include "pages/DlgVersion.h"
#include "pages/DlgViewer.h"
#include "pages/EnvironmentSheet.h"
#include "pages/FormatSheet.h"
#include "pages/PicturePropertyPages.h"
#include "pages/RenameSheet.h"
#include "toolkit/PropSheet.h"

namespace {

// The application's swatches and pictograms, which outlive every sheet.
PagePictures applicationPictures()
{
    PagePictures pictures;
    MyApp* application = getMyApp();
    if (!application)
        return pictures;
    const MyApp::Resource& resource = application->getResource();
    pictures.swatches = resource.swatches;
    pictures.swatchCount = MyApp::Resource::SwatchCount;
    pictures.pictograms = resource.pictograms;
    pictures.pictogramCount = MyApp::Resource::PictogramCount;
    return pictures;
}

} // namespace

OptionSheets programOptionSheets()
{
    OptionSheets sheets;
    sheets.environment = [](HWND owner) { openEnvironmentSheet(owner, applicationPictures()); };
    sheets.conversion = [](HWND owner, const wstring& samplePath) {
        openConversionSheet(owner, samplePath, applicationPictures());
    };
    sheets.confirmConversion = [](HWND owner, const wstring& samplePath, int format) {
        std::unique_ptr<PropPage> formatPage = createFormatPage(format);
        return confirmConversionSettings(owner, samplePath, applicationPictures(), formatPage.get(), format);
    };
    sheets.format = openFormatSheet;
    sheets.rename = showRenameSheet;
    sheets.viewers = showViewerDialog;
    sheets.plugins = showPluginDialog;
    sheets.version = showVersionDialog;
    sheets.pictureProperties = showPicturePropertiesSheet;
    return sheets;
}
