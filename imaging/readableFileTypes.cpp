#include "imaging/readableFileTypes.h"
#include <wincodec.h>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>
#include "foundation/Com.h"
#include "foundation/Exception.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"
#include "imaging/SusiePlugin.h"
#include "imaging/imagingStrings.h"
#include "imaging/wicDecoderList.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/ProgramResources.h"

namespace {

// "*.jpg": a star, then an ending without wildcards.
bool isPlainEnding(const wstring& pattern)
{
    return pattern.length() > 1 && pattern.buffer()[0] == L'*' && pattern.mid(1).find(L"*") < 0 &&
           pattern.mid(1).find(L"?") < 0;
}

// The system also matches short names ("*.jpg" finds x.jpeg through X~1.JPG), so each file is taken for the
// pattern of its own ending only.
void findPattern(const wstring& folder, const wstring& pattern, wstringArray& paths)
{
    wstring ending = pattern.mid(1).toLower();
    FindFiles found;
    for (bool more = found.findFirst(combinePath(folder, pattern).buffer()); more; more = found.findNext()) {
        wstring fileName(found.getName());
        if (!(found.getAttributes() & FILE_ATTRIBUTE_DIRECTORY) && fileName.toLower().endsWith(ending.buffer()))
            paths.add(combinePath(folder, fileName));
    }
}

// The path of a listed name in the folder (a normalised directory path): the name as it is, unless the
// system's normalising would change it (a trailing dot or space goes).
wstring inFolder(const wstring& base, const wstring& name)
{
    wchar_t last = name.isEmpty() ? L'.' : name.buffer()[name.length() - 1];
    return last == L'.' || last == L' ' ? combinePath(base, name) : base + name;
}

// One listing of the folder for the patterns "*.ext" (by the lower-case extension) and "*ending" (any other
// plain ending).
void listPlainEndings(const wstring& folder, const std::unordered_map<std::wstring, std::vector<size_t>>& byExtension,
                      const std::vector<std::pair<size_t, wstring>>& longerEndings, std::vector<wstringArray>& hits)
{
    wstring base = combinePath(folder, wstring());
    FindFiles found;
    for (bool more = found.findFirst(combinePath(folder, L"*").buffer()); more; more = found.findNext()) {
        if (found.getAttributes() & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        wstring fileName(found.getName());
        std::wstring lower = fileName.buffer();
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
        size_t dot = lower.rfind(L'.');
        auto extension = dot == std::wstring::npos ? byExtension.end() : byExtension.find(lower.substr(dot));
        if (extension == byExtension.end() && longerEndings.empty())
            continue;
        wstring path = inFolder(base, fileName);
        if (extension != byExtension.end()) {
            for (size_t pattern : extension->second)
                hits[pattern].add(path);
        }
        for (const auto& ending : longerEndings) {
            if (wstring(lower.c_str()).endsWith(ending.second.buffer()))
                hits[ending.first].add(path);
        }
    }
}

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
    filter.splitResourceString(programResourceModule(), IDS_PICTURE_FILTER, L"|");
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
    wstringArray patterns;
    collectReadableFileTypes(patterns);
    readableExtensionsOf(patterns, extensions);
}

void readableExtensionsOf(const wstringArray& patterns, wstringArray& extensions)
{
    extensions.removeAll();
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
    findReadablePictures(folder, patterns, paths);
}

void findReadablePictures(const wstring& folder, const wstringArray& patterns, wstringArray& paths)
{
    // A listing per pattern reads the whole folder each time: the patterns of a plain ending share one listing,
    // in which a name's extension finds its patterns at once; the others are asked of the system one by one.
    // The hits keep the patterns' order.
    std::vector<wstringArray> hits(static_cast<size_t>(patterns.count()));
    std::unordered_map<std::wstring, std::vector<size_t>> byExtension;
    std::vector<std::pair<size_t, wstring>> longerEndings;
    for (int i = 0; i < patterns.count(); ++i) {
        const wstring& pattern = patterns.at(i);
        size_t at = static_cast<size_t>(i);
        if (!isPlainEnding(pattern)) {
            findPattern(folder, pattern, hits[at]);
            continue;
        }
        wstring ending = pattern.mid(1).toLower();
        if (ending.rfind(L".", ending.length() - 1) == 0)
            byExtension[ending.buffer()].push_back(at);
        else
            longerEndings.emplace_back(at, ending);
    }
    if (!byExtension.empty() || !longerEndings.empty())
        listPlainEndings(folder, byExtension, longerEndings, hits);
    for (const wstringArray& found : hits)
        paths.addAll(found);
}
