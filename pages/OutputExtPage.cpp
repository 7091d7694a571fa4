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

bool isField(int id)
{
    for (const ExtensionField& field : fields)
        if (field.editId == id)
            return true;
    return false;
}

} // namespace

OutputExtPage::OutputExtPage() : SettingPage(IDC_EXT_ENABLE)
{
}

void OutputExtPage::bindControls()
{
    bind(enable, IDC_EXT_ENABLE);
    for (int i = 0; i < FieldCount; ++i)
        bind(extensions[i], fields[i].editId);
    bind(reset, IDC_EXT_RESET);
}

void OutputExtPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.outputExtEnable);
    for (int i = 0; i < FieldCount; ++i)
        extensions[i].setText(setting.outputExts.at(fields[i].format));
}

void OutputExtPage::apply(AppSetting& setting)
{
    const wstringArray& stored = setting.outputExts;
    if (stored.count() < OutputFormat::Count - 1)
        throw Exception(ErrorCode::InvalidArgument);
    setting.outputExtEnable = enable.getCheck();
    // The new list is whole before it replaces the old one. The fields are taken as typed: where the
    // extensions are used, one that makes no sound file name gives way to the format's own.
    wstringArray list;
    for (int format = 0; format < stored.count(); ++format) {
        int field = fieldOf(format);
        list.add(field < 0 ? stored.at(format) : extensions[field].getText());
    }
    setting.outputExts.swap(list);
}

void OutputExtPage::resetToDefaults()
{
    for (int i = 0; i < FieldCount; ++i)
        extensions[i].setText(defaultOutputExtension(fields[i].format));
}

void OutputExtPage::command(int id, int code)
{
    if (id == IDC_EXT_ENABLE) {
        if (code != BN_CLICKED)
            return;
        bool on = enable.getCheck();
        for (const ExtensionField& field : fields)
            enableItems({field.labelId, field.editId}, on);
        enableItems({IDC_EXT_RESET}, on);
    } else if (id == IDC_EXT_RESET) {
        if (code != BN_CLICKED)
            return;
        resetToDefaults();
    } else if (!isField(id) || code != EN_CHANGE) {
        return;
    }
    setChanged();
}
