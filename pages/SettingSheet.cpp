#include "pages/SettingSheet.h"
#include <iterator>
#include "pages/SettingPage.h"
#include "pages/formatPageIds.h"
#include "settings/ProgramResources.h"

namespace {

// The format sheet's page of each output format: WDP and HDP share the HD Photo page, which comes before
// the Bitmap page.
constexpr int formatPages[] = {0, 1, 2, 3, 5, 4, 4};

} // namespace

void SettingSheet::add(SettingPage& page, UINT templateId)
{
    page.indexSetting = remembered;
    page.appliedFlag = appliedFlag;
    sheet.addPage(&page, programResourceModule(), templateId);
}

void SettingSheet::add(PropPage& page, UINT templateId)
{
    sheet.addPage(&page, programResourceModule(), templateId);
}

INT_PTR SettingSheet::show(HWND parent)
{
    int start = remembered ? *remembered : startPage;
    if (start < 0 || start >= sheet.getPageCount())
        start = 0;
    wstring title;
    title.loadString(programResourceModule(), titleId);
    return sheet.doModal(parent, title, noApply, start);
}

int formatSheetPageOf(int outputFormat)
{
    if (outputFormat < 0 || outputFormat >= static_cast<int>(std::size(formatPages)))
        return 0;
    return formatPages[outputFormat];
}

UINT formatPageTemplateOf(int outputFormat)
{
    return IDD_JPEG_FORMAT + static_cast<UINT>(formatSheetPageOf(outputFormat));
}
