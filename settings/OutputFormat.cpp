#include "settings/OutputFormat.h"
#include "foundation/wstringArray.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"

namespace {

constexpr UINT OutputExtensionsString = 2343;

} // namespace

int formatIndexToCommandId(int index)
{
    switch (index) {
    case OutputFormat::Bitmap:
        return FormatCommand::Bitmap;
    case OutputFormat::Wdp:
    case OutputFormat::Hdp:
        return FormatCommand::HdPhoto;
    default:
        return FormatCommand::Jpeg + index;
    }
}

int commandIdToFormatIndex(int commandId)
{
    switch (commandId) {
    case FormatCommand::Jpeg:
        return OutputFormat::Jpeg;
    case FormatCommand::Gif:
        return OutputFormat::Gif;
    case FormatCommand::Tiff:
        return OutputFormat::Tiff;
    case FormatCommand::Png:
        return OutputFormat::Png;
    case FormatCommand::HdPhoto:
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
    return setting.outputExts.at(index);
}

wstring defaultOutputExtension(int index)
{
    return defaultOutputExtension(index, programResourceModule());
}

wstring defaultOutputExtension(int index, HMODULE module)
{
    wstringArray groups;
    groups.splitResourceString(module, OutputExtensionsString, L" ");
    wstringArray extensions;
    extensions.split(groups.at(index), L":", false);
    // An empty name would give output files that end in a bare dot.
    if (extensions.at(0).isEmpty())
        Exception::throwInvalidArgument();
    return extensions.at(0);
}
