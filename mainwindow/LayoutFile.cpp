#include "mainwindow/LayoutFile.h"
#include <algorithm>
#include <string>
#include "foundation/Exception.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "foundation/XmlProperties.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/readableFileTypes.h"
#include "settings/Messages.h"

namespace {

constexpr wchar_t ApplicationKey[] = L"application";
constexpr wchar_t FilesKey[] = L"files";
constexpr wchar_t LayoutExtension[] = L".lay";

[[noreturn]] void throwLayoutError(const SimpleString& message)
{
    throw ApplicationException(message.get(), ErrorCode::LayoutFileMessage);
}

wstring entryOf(const XmlProperties& layout, const wchar_t* key)
{
    const wstring* value = layout.find(key);
    return value ? *value : wstring();
}

bool isTrimmed(wchar_t unit)
{
    return unit <= L' ';
}

// In one pass over the block: a layout of thousands of pictures holds a long block, which searching from the
// front for each line's end would read over and over.
void appendLines(const wstring& block, wstringArray& lines)
{
    const wchar_t* text = block.buffer();
    const wchar_t* end = text + block.length();
    while (text < end) {
        const wchar_t* lineEnd = std::find(text, end, L'\n');
        const wchar_t* first = text;
        const wchar_t* last = lineEnd;
        while (first < last && isTrimmed(*first))
            ++first;
        while (last > first && isTrimmed(last[-1]))
            --last;
        if (first < last)
            lines.add(std::wstring(first, last).c_str());
        text = lineEnd + 1;
    }
}

bool hasReadableExtension(const wstring& path, const wstringArray& readable)
{
    int dot = path.rfind(L".", path.length());
    if (dot < 0)
        return false;
    return readable.contains(path.mid(dot + 1).toLower(), false);
}

} // namespace

void writeLayout(const wstring& path, const wstring& applicationName, const wstringArray& files)
{
    // Gathered in a growing buffer: joined path by path, the block would be copied once per path.
    std::wstring block;
    for (int i = 0; i < files.count(); ++i)
        block.append(L"\r\n    ").append(files.at(i).buffer());
    block.append(L"\r\n  ");
    XmlProperties layout;
    layout.set(ApplicationKey, applicationName);
    layout.set(FilesKey, block.c_str());
    // The writer empties the file before it writes: an error on the way would leave a cut layout where the
    // user's was.
    replaceThroughTemporaryFile(path.buffer(), [&](const wchar_t* temporary) { layout.save(temporary); });
}

void readLayout(const wstring& path, const wstring& applicationName, wstringArray& files)
{
    files.removeAll();
    if (!Path(path).exists())
        throwLayoutError(Messages::E0022);
    XmlProperties layout;
    layout.load(path);
    if (lstrcmpW(entryOf(layout, ApplicationKey).buffer(), applicationName.buffer()) != 0)
        throwLayoutError(Messages::E0002);
    wstringArray lines;
    appendLines(entryOf(layout, FilesKey), lines);
    expandPaths(lines, false, false, applicationName, files);
}

void expandPaths(const wstringArray& paths, bool filterByType, bool expandLayouts, const wstring& applicationName,
                 wstringArray& result)
{
    result.removeAll();
    // Read from the system and the plug-ins once for all the paths.
    wstringArray patterns;
    bool collected = false;
    auto readablePatterns = [&]() -> const wstringArray& {
        if (!collected)
            collectReadableFileTypes(patterns);
        collected = true;
        return patterns;
    };
    wstringArray readable;
    if (filterByType)
        readableExtensionsOf(readablePatterns(), readable);
    for (int i = 0; i < paths.count(); ++i) {
        wstring path = paths.at(i);
        if (isDirectory(path) && !path.endsWith(L"\\"))
            path = path + L"\\";
        Path normalised(path);
        if (normalised.getFileName().isEmpty() && !normalised.getDirectory().isEmpty()) {
            findReadablePictures(normalised.getDirectory(), readablePatterns(), result);
        } else if (expandLayouts && path.toLower().endsWith(LayoutExtension)) {
            wstringArray listed;
            readLayout(path, applicationName, listed);
            result.addAll(listed);
        } else if (!filterByType || hasReadableExtension(path, readable)) {
            result.add(path);
        }
    }
}
