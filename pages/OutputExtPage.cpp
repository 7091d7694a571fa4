#include "pages/OutputExtPage.h"
#include "foundation/wstringArray.h"
#include "pages/renamePageIds.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "settings/ProgramResources.h"

namespace {

// Each field in screen order with its format; the page shows HD Photo before Bitmap.
struct ExtensionField {
    int labelId;
    int editId;
    int format;
};

constexpr ExtensionField fields[] = {
    {IDC_EXT_JPEG_LABEL, IDC_EXT_JPEG, OutputFormat::Jpeg},
    {IDC_EXT_GIF_LABEL, IDC_EXT_GIF, OutputFormat::Gif},
    {IDC_EXT_TIFF_LABEL, IDC_EXT_TIFF, OutputFormat::Tiff},
    {IDC_EXT_PNG_LABEL, IDC_EXT_PNG, OutputFormat::Png},
    {IDC_EXT_HDPHOTO_LABEL, IDC_EXT_HDPHOTO, OutputFormat::Wdp},
    {IDC_EXT_BITMAP_LABEL, IDC_EXT_BITMAP, OutputFormat::Bitmap},
};
constexpr int FieldCount = 6;

// The field of the format, -1 when it has none.
int fieldOf(int format)
{
    for (int i = 0; i < FieldCount; ++i)
        if (fields[i].format == format)
            return i;
    return -1;
}

} // namespace

OutputExtPage::OutputExtPage() : SettingPage(IDC_EXT_ENABLE)
{
}

void OutputExtPage::exchange(PageExchange& x, AppSetting& s)
{
    wstringArray& stored = s.outputExts;
    if (stored.count() < OutputFormat::Count - 1)
        throw Exception(ErrorCode::InvalidArgument);
    x.check(IDC_EXT_ENABLE, s.outputExtEnable);
    x.button(IDC_EXT_RESET, [this] {
        resetToDefaults();
        return true;
    });
    // The new list is whole before it replaces the old one. The fields are taken as typed: where the
    // extensions are used, one that makes no sound file name gives way to the format's own.
    wstringArray list;
    for (int format = 0; format < stored.count(); ++format) {
        wstring extension = stored.at(format);
        int field = fieldOf(format);
        if (field >= 0)
            x.text(fields[field].editId, extension);
        list.add(extension);
    }
    if (x.isApplying())
        stored.swap(list);
}

void OutputExtPage::resetToDefaults()
{
    for (const ExtensionField& field : fields)
        SetDlgItemTextW(liveHandle(), field.editId, defaultOutputExtension(field.format).buffer());
}

void OutputExtPage::command(int id, int code)
{
    if (id != IDC_EXT_ENABLE || code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_EXT_ENABLE);
    for (const ExtensionField& field : fields)
        enableItems({field.labelId, field.editId}, on);
    enableItems({IDC_EXT_RESET}, on);
}
