#include "settings/OutputFormat.h"
#include "settings/formatCommandIds.h"
#include "foundation/wstringArray.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"
#include "settings/settingsStrings.h"

namespace {

// Typed extensions are stored as typed: one that is empty, or would lead the name into another folder or
// stream, is no extension to write a file under.
bool isSoundExtension(const wstring& extension)
{
    if (extension.isEmpty())
        return false;
    for (const wchar_t* c = extension.buffer(); *c; ++c) {
        if (*c < L' ' || wcschr(L"\\/:*?\"<>|", *c))
            return false;
    }
    return true;
}

} // namespace

int formatIndexToCommandId(int index)
{
    switch (index) {
    case OutputFormat::Bitmap:
        return IDM_FORMAT_BITMAP;
    case OutputFormat::Wdp:
    case OutputFormat::Hdp:
        return IDM_FORMAT_HD_PHOTO;
    default:
        return IDM_FORMAT_JPEG + index;
    }
}

int commandIdToFormatIndex(int commandId)
{
    switch (commandId) {
    case IDM_FORMAT_JPEG:
        return OutputFormat::Jpeg;
    case IDM_FORMAT_GIF:
        return OutputFormat::Gif;
    case IDM_FORMAT_TIFF:
        return OutputFormat::Tiff;
    case IDM_FORMAT_PNG:
        return OutputFormat::Png;
    case IDM_FORMAT_HD_PHOTO:
        return OutputFormat::Wdp;
    default:
        return OutputFormat::Bitmap;
    }
}

wstring outputExtensionForFormat(int index, const AppSetting& setting)
{
    if (!setting.outputExtEnable)
        return defaultOutputExtension(index);
    if (index < 0 || index >= OutputFormat::Count)
        Exception::throwInvalidArgument();
    const wstring& chosen = setting.outputExts.at(index);
    return isSoundExtension(chosen) ? chosen : defaultOutputExtension(index);
}

wstring defaultOutputExtension(int index)
{
    return defaultOutputExtension(index, programResourceModule());
}

wstring defaultOutputExtension(int index, HMODULE module)
{
    wstringArray groups;
    groups.splitResourceString(module, IDS_OUTPUT_EXTENSIONS, L" ");
    wstringArray extensions;
    extensions.split(groups.at(index), L":", false);
    // An empty name would give output files that end in a bare dot.
    if (extensions.at(0).isEmpty())
        Exception::throwInvalidArgument();
    return extensions.at(0);
}
