#include "pages/FormatSheet.h"
#include "pages/BmpFormatPage.h"
#include "pages/QualityFormatPage.h"
#include "pages/SettingSheet.h"
#include "pages/TiffFormatPage.h"
#include "pages/TransparencyFormatPage.h"
#include "pages/formatPageIds.h"
#include "pages/formatSheetStrings.h"
#include "toolkit/NumericEdit.h"

namespace {

enum FormatPage { JpegPage, GifPage, TiffPage, PngPage, HdpPage, BmpPage };

} // namespace

// The format pages edit only their own sections: they are added as plain pages, which neither remember the
// sheet's page nor report an apply.
void openFormatSheet(HWND mainWindow, int outputFormat)
{
    NumericEdit::registerClass();
    JpegFormatPage jpeg;
    GifFormatPage gif;
    TiffFormatPage tiff;
    PngFormatPage png;
    HdpFormatPage hdp;
    BmpFormatPage bmp;
    SettingSheet sheet(IDS_FORMAT_SHEET);
    sheet.startAt(formatSheetPageOf(outputFormat));
    sheet.add(static_cast<PropPage&>(jpeg), IDD_JPEG_FORMAT);
    sheet.add(static_cast<PropPage&>(gif), IDD_GIF_FORMAT);
    sheet.add(static_cast<PropPage&>(tiff), IDD_TIFF_FORMAT);
    sheet.add(static_cast<PropPage&>(png), IDD_PNG_FORMAT);
    sheet.add(static_cast<PropPage&>(hdp), IDD_HDP_FORMAT);
    sheet.add(static_cast<PropPage&>(bmp), IDD_BMP_FORMAT);
    sheet.show(mainWindow);
}

std::unique_ptr<PropPage> createFormatPage(int outputFormat)
{
    NumericEdit::registerClass();
    switch (formatSheetPageOf(outputFormat)) {
    case GifPage:
        return std::make_unique<GifFormatPage>();
    case TiffPage:
        return std::make_unique<TiffFormatPage>();
    case PngPage:
        return std::make_unique<PngFormatPage>();
    case HdpPage:
        return std::make_unique<HdpFormatPage>();
    case BmpPage:
        return std::make_unique<BmpFormatPage>();
    default:
        return std::make_unique<JpegFormatPage>();
    }
}
