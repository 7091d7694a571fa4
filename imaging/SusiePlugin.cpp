#include "imaging/SusiePlugin.h"
#include "foundation/Allocator.h"
#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/LoadedLibrary.h"
#include "foundation/MemPtr.h"
#include "foundation/astring.h"
#include "imaging/SusieExports.h"

namespace {

constexpr int VersionBytes = 8;
constexpr int DescriptionBytes = 1024;
constexpr int FormatBytes = 520;
// A plug-in that answers every info number would otherwise keep the loop going until memory runs out.
constexpr int MaxFormats = 256;
constexpr DWORD MaskBytes = 12;

int WINAPI susieProgressCallback(int, int, LONG_PTR)
{
    return 0;
}

// One GetPluginInfo entry as text; empty when the plug-in has none. The buffer has a terminator of its own
// beyond what the plug-in may fill.
class InfoText {
public:
    InfoText(Susie::GetPluginInfoFunction getPluginInfo, int infoNumber, int bytes)
        : block(getDefaultAllocator().alloc(bytes + 1, false))
    {
        found = getPluginInfo(infoNumber, text(), bytes) > 0;
    }
    bool exists() const { return found; }
    char* text() const { return static_cast<char*>(block.get()); }
    wstring toWide() const { return wstring(astring(text())); }

private:
    VoidPtr block;
    bool found;
};

bool readsPictures(Susie::GetPluginInfoFunction getPluginInfo)
{
    InfoText version(getPluginInfo, Susie::VersionInfo, VersionBytes);
    return version.exists() && version.text()[2] == 'I';
}

// The first bytes of the file, zero beyond its end; all zero when it cannot be opened, as the plug-ins then
// judge by the name alone.
void readHead(const wchar_t* path, void* head)
{
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.isValid())
        return;
    DWORD read = 0;
    if (!ReadFile(file.get(), head, Susie::HeadBytes, &read, nullptr))
        Exception::throwLastError();
}

// A handle that a plug-in handed over, locked for the scope and freed at its end.
class PluginMemory {
public:
    explicit PluginMemory(HLOCAL handle)
        : handle(handle), data(handle ? LocalLock(handle) : nullptr), bytes(handle ? LocalSize(handle) : 0)
    {
    }
    PluginMemory(const PluginMemory&) = delete;
    PluginMemory& operator=(const PluginMemory&) = delete;
    ~PluginMemory()
    {
        if (!handle)
            return;
        if (data)
            LocalUnlock(handle);
        LocalFree(handle);
    }

    HLOCAL handle;
    void* data;
    SIZE_T bytes;
};

// Whether the two blocks are as large as the header says: the plug-in is trusted with its format, not with
// the bounds of what GDI then reads.
bool blocksFit(const PluginMemory& info, const PluginMemory& pixels)
{
    if (!info.data || !pixels.data || info.bytes < sizeof(BITMAPINFOHEADER))
        return false;
    const auto& header = static_cast<const BITMAPINFO*>(info.data)->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biClrUsed > 256)
        return false;
    LONGLONG needed = Dib::packedPixelBytes(header);
    return Dib::packedInfoBytes(header) <= static_cast<LONGLONG>(info.bytes) && needed > 0 &&
           needed <= static_cast<LONGLONG>(pixels.bytes);
}

// The Dib takes the picture that the plug-in handed over; every handle it gave is freed.
bool takePicture(HLOCAL infoHandle, HLOCAL pixelHandle, Dib& dib)
{
    PluginMemory info(infoHandle);
    PluginMemory pixels(pixelHandle);
    if (!blocksFit(info, pixels))
        return false;
    const auto* pluginInfo = static_cast<const BITMAPINFO*>(info.data);
    // The Dib reads its template with room for masks beyond what the plug-in stored.
    auto infoBytes = static_cast<int>(Dib::packedInfoBytes(pluginInfo->bmiHeader));
    VoidPtr copy(getDefaultAllocator().alloc(infoBytes + static_cast<int>(MaskBytes), false));
    CopyMemory(copy.get(), pluginInfo, infoBytes);
    if (!dib.createFromInfo(static_cast<const BITMAPINFO*>(copy.get()), RGB(0, 0, 0)))
        return false;
    int drawn = SetDIBitsToDevice(dib.getDC(), 0, 0, dib.width(), dib.height(), 0, 0, 0, dib.height(), pixels.data,
                                  pluginInfo, DIB_RGB_COLORS);
    dib.releaseDC();
    if (drawn != 0)
        return true;
    dib.reallocInfo(0);
    return false;
}

bool loadWith(const LoadedLibrary& library, const wchar_t* picturePath, Dib& dib)
{
    auto isSupported = library.find<Susie::IsSupportedFunction>("IsSupported");
    auto getPicture = library.find<Susie::GetPictureFunction>("GetPicture");
    if (!isSupported || !getPicture)
        return false;
    VoidPtr head(getDefaultAllocator().alloc(Susie::HeadBytes, false));
    readHead(picturePath, head.get());
    astring name{wstring(picturePath)};
    if (!isSupported(name.buffer(), head.get()))
        return false;
    HLOCAL info = nullptr;
    HLOCAL pixels = nullptr;
    // A failed call hands nothing over: what it left in the handles is still the plug-in's.
    if (getPicture(name.buffer(), 0, Susie::FromFile, &info, &pixels, susieProgressCallback, 0) != 0)
        return false;
    return takePicture(info, pixels, dib);
}

} // namespace

wstring SusiePlugin::path(int index) const
{
    return paths.at(index);
}

wstring SusiePlugin::description(int index) const
{
    LoadedLibrary library(paths.at(index).buffer());
    auto getPluginInfo = library.find<Susie::GetPluginInfoFunction>("GetPluginInfo");
    if (!getPluginInfo)
        return wstring();
    InfoText text(getPluginInfo, Susie::DescriptionInfo, DescriptionBytes);
    return text.exists() ? text.toWide() : wstring();
}

template <typename Visitor>
void SusiePlugin::forEachFormat(int index, Visitor visit) const
{
    LoadedLibrary library(paths.at(index).buffer());
    auto getPluginInfo = library.find<Susie::GetPluginInfoFunction>("GetPluginInfo");
    if (!getPluginInfo || !readsPictures(getPluginInfo))
        return;
    for (int n = 0; n < MaxFormats; ++n) {
        InfoText pattern(getPluginInfo, Susie::FirstFormatInfo + 2 * n, FormatBytes);
        if (!pattern.exists())
            return;
        InfoText name(getPluginInfo, Susie::FirstFormatInfo + 2 * n + 1, FormatBytes);
        if (!name.exists())
            return;
        visit(pattern.toWide(), name.toWide());
    }
}

void SusiePlugin::filters(int index, const wstring& tag, wstringArray& entries) const
{
    entries.removeAll();
    forEachFormat(index, [&](const wstring& pattern, const wstring& name) {
        wstring entry(name);
        if (!tag.isEmpty())
            entry.append(L" ").append(tag);
        entry.append(L" (").append(pattern).append(L")|").append(pattern);
        entries.add(entry);
    });
}

void SusiePlugin::allFilters(const wstring& tag, wstringArray& entries) const
{
    entries.removeAll();
    wstringArray one;
    for (int i = 0; i < paths.count(); ++i) {
        filters(i, tag, one);
        entries.addAll(one);
    }
}

void SusiePlugin::patterns(int index, wstringArray& result) const
{
    result.removeAll();
    forEachFormat(index, [&](const wstring& pattern, const wstring&) { result.add(pattern); });
}

void SusiePlugin::allPatterns(wstringArray& result) const
{
    result.removeAll();
    wstringArray one;
    for (int i = 0; i < paths.count(); ++i) {
        patterns(i, one);
        result.addAll(one);
    }
}

int SusiePlugin::load(const wchar_t* picturePath, Dib& dib) const
{
    dib.reallocInfo(0);
    if (!picturePath)
        Exception::throwInvalidArgument();
    for (int i = 0; i < paths.count(); ++i) {
        LoadedLibrary library(paths.at(i).buffer());
        if (library.get() && loadWith(library, picturePath, dib))
            return i;
    }
    return -1;
}
