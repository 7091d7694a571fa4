#include "imaging/readableFileTypes.h"
#include <wincodec.h>
#include "foundation/Com.h"
#include "foundation/Exception.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"
#include "imaging/SusiePlugin.h"
#include "imaging/wicDecoderList.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"

namespace {

// "画像ファイル (*.bmp;...)|*.bmp;...": the first filter of the open-file dialog.
constexpr UINT PictureFilterString = 2231;

// The program's own patterns cover what these decoders read.
bool isSystemDecoder(const CLSID& decoder)
{
    static const CLSID* const systemDecoders[] = {&CLSID_WICBmpDecoder,  &CLSID_WICPngDecoder,
                                                  &CLSID_WICIcoDecoder,  &CLSID_WICJpegDecoder,
                                                  &CLSID_WICGifDecoder,  &CLSID_WICTiffDecoder,
                                                  &CLSID_WICWmpDecoder};
    for (const CLSID* known : systemDecoders)
        if (IsEqualCLSID(decoder, *known))
            return true;
    return false;
}

void collectBuiltInPatterns(wstringArray& patterns)
{
    wstringArray filter;
    filter.splitResourceString(programResourceModule(), PictureFilterString, L"|");
    if (filter.count() < 2)
        Exception::throwInvalidArgument();
    patterns.split(filter.at(1), L";", false);
}

// Plug-ins often name several patterns in one entry ("*.jpg;*.jpeg"), which no folder scan would match.
void collectPluginPatterns(const AppSetting& setting, wstringArray& patterns)
{
    SusiePlugin plugins;
    plugins.paths.addAll(setting.spiPaths);
    wstringArray entries;
    plugins.allPatterns(entries);
    patterns.removeAll();
    wstringArray pieces;
    for (int i = 0; i < entries.count(); ++i) {
        pieces.split(entries.at(i), L";", true);
        patterns.addAll(pieces);
    }
}

void collectWicPatterns(wstringArray& patterns)
{
    wstringArray extensions;
    collectWicDecoderExtensions(extensions);
    patterns.removeAll();
    for (int i = 0; i < extensions.count(); ++i)
        patterns.add(L"*" + extensions.at(i));
}

void addMissing(const wstringArray& candidates, wstringArray& patterns)
{
    for (int i = 0; i < candidates.count(); ++i)
        if (!patterns.contains(candidates.at(i), true))
            patterns.add(candidates.at(i));
}

} // namespace

void collectWicDecoderExtensions(wstringArray& extensions)
{
    extensions.removeAll();
    // A decoder may be installed or removed while the list is read, so the count is asked each time.
    for (int i = 0; i < wicDecoderCount(); ++i) {
        wstring name = wicDecoderClsid(i);
        if (name.isEmpty())
            break;
        CLSID decoder = clsidFromString(name.buffer());
        if (isSystemDecoder(decoder))
            continue;
        wstringArray pieces;
        wicDecoderFileExtensions(decoder, pieces);
        extensions.addAll(pieces);
    }
}

void collectReadableFileTypes(wstringArray& patterns)
{
    patterns.removeAll();
    wstringArray plugin;
    collectPluginPatterns(getAppSetting(), plugin);
    wstringArray wic;
    collectWicPatterns(wic);
    wstringArray builtIn;
    collectBuiltInPatterns(builtIn);

    addMissing(builtIn, patterns);
    addMissing(plugin, patterns);
    addMissing(wic, patterns);
}

void collectReadableExtensions(wstringArray& extensions)
{
    extensions.removeAll();
    wstringArray patterns;
    collectReadableFileTypes(patterns);
    for (int i = 0; i < patterns.count(); ++i) {
        const wstring& pattern = patterns.at(i);
        int dot = pattern.rfind(L".", pattern.length() - 1);
        extensions.add((dot < 0 ? pattern : pattern.mid(dot + 1)).toLower());
    }
}

void findReadablePictures(const wstring& folder, wstringArray& paths)
{
    wstringArray patterns;
    collectReadableFileTypes(patterns);
    for (int i = 0; i < patterns.count(); ++i) {
        const wstring& pattern = patterns.at(i);
        wstring ending = pattern.mid(1).toLower();
        FindFiles found;
        for (bool more = found.findFirst(combinePath(folder, pattern).buffer()); more; more = found.findNext()) {
            wstring fileName(found.getName());
            if (!(found.getAttributes() & FILE_ATTRIBUTE_DIRECTORY) && fileName.toLower().endsWith(ending.buffer()))
                paths.add(combinePath(folder, fileName));
        }
    }
}
