#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "foundation/Application.h"
#include "foundation/Reg.h"
#include "foundation/wstringArray.h"
#include "imaging/readableFileTypes.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "support/ExpectCode.h"
#include "support/GlobalApplication.h"
#include "support/LentSettings.h"
#include "support/ScratchFolder.h"

namespace {

using Names = std::vector<std::wstring>;

const Names builtInPatterns = {L"*.bmp", L"*.jpg", L"*.jpeg", L"*.jpe", L"*.gif",
                               L"*.tif", L"*.tiff", L"*.png", L"*.wdp", L"*.hdp"};
const Names builtInExtensions = {L"bmp", L"jpg", L"jpeg", L"jpe", L"gif", L"tif", L"tiff", L"png", L"wdp", L"hdp"};

const wchar_t DecoderInstances[] = L"CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance";
const wchar_t WebpDecoder[] = L"{6F2A9C01-0D4B-4E3A-9A51-3C7E2B8D4F10}";
const wchar_t SilentDecoder[] = L"{6F2A9C02-0D4B-4E3A-9A51-3C7E2B8D4F10}";

std::wstring besideProgram(const wchar_t* name)
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

Names listed(const wstringArray& list)
{
    Names items;
    for (int i = 0; i < list.count(); ++i)
        items.push_back(list.at(i).buffer());
    return items;
}

Names head(const Names& names, size_t count)
{
    return Names(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(count, names.size())));
}

bool has(const Names& names, const std::wstring& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

ptrdiff_t indexOf(const Names& names, const std::wstring& name)
{
    return std::find(names.begin(), names.end(), name) - names.begin();
}

// An application whose resources come from a module without the program's strings.
class ForeignResourcesApplication : public Application {
public:
    explicit ForeignResourcesApplication(HMODULE module) { resourceModule = module; }
    int run(const wstringArray&) override { return 0; }
};

// The reference: the folder listed once per pattern, each file taken for the pattern of its own ending.
Names listedPatternByPattern(const std::wstring& folder, const Names& patterns)
{
    Names found;
    for (const std::wstring& pattern : patterns) {
        std::wstring ending = pattern.substr(1);
        CharLowerBuffW(ending.data(), static_cast<DWORD>(ending.size()));
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
            std::wstring name = entry.cFileName;
            std::wstring lower = name;
            CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
            bool ownEnding = lower.size() >= ending.size() &&
                             lower.compare(lower.size() - ending.size(), ending.size(), ending) == 0;
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ownEnding)
                found.push_back(folder + L"\\" + name);
        }
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
    return found;
}

void touch(const std::wstring& path)
{
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

class ReadableTypes : public testing::Test {
protected:
    void TearDown() override
    {
        for (const wchar_t* decoder : {WebpDecoder, SilentDecoder, L"not-a-class-id"})
            unregisterDecoder(decoder);
    }

    // A made-up decoder in the system's decoder category; null extensions leave the value out.
    void registerDecoder(const wchar_t* clsid, const wchar_t* extensions)
    {
        Reg instances;
        ASSERT_TRUE(instances.createClassesRoot(DecoderInstances));
        ASSERT_TRUE(instances.setString(clsid, L"CLSID", clsid));
        Reg decoder;
        ASSERT_TRUE(decoder.createClassesRoot((std::wstring(L"CLSID\\") + clsid).c_str()));
        if (extensions) {
            ASSERT_TRUE(decoder.setString(nullptr, L"FileExtensions", extensions));
        }
    }
    void unregisterDecoder(const wchar_t* clsid)
    {
        Reg classes;
        if (classes.openClassesRoot(DecoderInstances))
            classes.deleteSubKey(clsid);
        if (classes.openClassesRoot(L"CLSID"))
            classes.deleteSubKey(clsid);
    }

    template <typename Collect>
    static Names collected(Collect collect)
    {
        wstringArray result;
        result.add(L"stale");
        collect(result);
        return listed(result);
    }
    Names types()
    {
        return collected([&](wstringArray& out) { collectReadableFileTypes(out); });
    }
    Names extensions()
    {
        return collected([&](wstringArray& out) { collectReadableExtensions(out); });
    }

    LentSettings lent;
    AppSetting& setting = lent.setting;
};

TEST_F(ReadableTypes, WineDecodersFollowTheBuiltInPatterns)
{
    // Wine registers TGA as ".tga;.tpic", DDS as ".dds" and its JPEG decoder with ".jfif" beside ".jpg".
    Names wic = collected(collectWicDecoderExtensions);
    for (const wchar_t* extension : {L".tga", L".tpic", L".dds"})
        EXPECT_TRUE(has(wic, extension)) << testing::PrintToString(wic);
    EXPECT_FALSE(has(wic, L".jfif"));
    EXPECT_FALSE(has(wic, L".jpg"));

    Names expected = builtInPatterns;
    for (const std::wstring& extension : wic)
        expected.push_back(L"*" + extension);
    EXPECT_EQ(types(), expected);

    Names plain = extensions();
    EXPECT_EQ(head(plain, builtInExtensions.size()), builtInExtensions);
    EXPECT_TRUE(has(plain, L"tga") && has(plain, L"tpic"));
}

TEST_F(ReadableTypes, PluginPatternsFollowTheBuiltInOnesOnceEach)
{
    setting.spiPaths.add(besideProgram(L"kvp_reader.spi").c_str());
    setting.spiPaths.add(besideProgram(L"kvp_multi.spi").c_str());
    setting.spiPaths.add(besideProgram(L"kvp_archive.spi").c_str());
    setting.spiPaths.add(besideProgram(L"missing.spi").c_str());

    Names found = types();
    Names expected = builtInPatterns;
    // The second plug-in's "*.KVP;*.JPG;*.Kvz" and "*": both of the first two are already present.
    expected.insert(expected.end(), {L"*.kvp", L"*.kvq", L"*.Kvz", L"*"});
    EXPECT_EQ(head(found, expected.size()), expected);
    EXPECT_FALSE(has(found, L"*.kva")); // archive plug-ins read no pictures
    EXPECT_FALSE(has(found, L"*.KVP"));
    EXPECT_FALSE(has(found, L"*.JPG"));

    Names plain = extensions();
    Names expectedPlain = builtInExtensions;
    expectedPlain.insert(expectedPlain.end(), {L"kvp", L"kvq", L"kvz", L"*"});
    EXPECT_EQ(head(plain, expectedPlain.size()), expectedPlain);
}

TEST_F(ReadableTypes, ExtraDecodersComeLast)
{
    registerDecoder(WebpDecoder, L".webp;.JXL,,.BMP");
    registerDecoder(SilentDecoder, nullptr);
    setting.spiPaths.add(besideProgram(L"kvp_reader.spi").c_str());

    Names wic = collected(collectWicDecoderExtensions);
    ptrdiff_t webp = indexOf(wic, L".webp");
    ASSERT_LT(webp + 2, static_cast<ptrdiff_t>(wic.size()));
    EXPECT_EQ(wic[webp + 1], L".JXL");
    EXPECT_EQ(wic[webp + 2], L".BMP");

    Names found = types();
    ptrdiff_t kvq = indexOf(found, L"*.kvq");
    EXPECT_EQ(kvq, static_cast<ptrdiff_t>(builtInPatterns.size()) + 1);
    EXPECT_GT(indexOf(found, L"*.webp"), kvq);
    EXPECT_TRUE(has(found, L"*.JXL"));
    EXPECT_FALSE(has(found, L"*.BMP"));

    Names plain = extensions();
    EXPECT_TRUE(has(plain, L"webp"));
    EXPECT_TRUE(has(plain, L"jxl"));
}

TEST_F(ReadableTypes, BadSourcesThrow)
{
    wstringArray result;
    {
        AppServices nothing(nullptr, nullptr);
        expectCode(ErrorCode::InvalidState, [&] { collectReadableFileTypes(result); });
    }

    {
        ForeignResourcesApplication application(
            LoadLibraryExW(besideProgram(L"kvp_reader.spi").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        GlobalApplication global(application);
        EXPECT_NE(thrownCode([&] { collectReadableFileTypes(result); }), -1); // no filter string
    }

    registerDecoder(L"not-a-class-id", L".bad");
    EXPECT_NE(thrownCode([&] { collectWicDecoderExtensions(result); }), -1);
    EXPECT_NE(thrownCode([&] { collectReadableFileTypes(result); }), -1);
}

} // namespace

TEST_F(ReadableTypes, AFolderGivesItsPicturesTypeByTypeAsTheSystemListsThemPatternByPattern)
{
    ScratchFolder folder(L"korvilane-readable-pictures");
    for (const wchar_t* name : {L"z.png", L"a.bmp", L"B.JPG", L"c.jpeg", L"d.jpe", L"写真.png", L"e.PNG", L"x.jpeg.txt",
                                L"noext", L"f.tiff", L"g.tif", L"archive.tar.gz"})
        touch(folder.file(name));
    CreateDirectoryW(folder.file(L"sub.jpg").c_str(), nullptr);
    touch(folder.file(L"sub.jpg\\inner.jpg"));
    std::wstring path = folder.file(L"");
    path.pop_back();

    wstringArray found;
    found.add(L"kept");
    findReadablePictures(path.c_str(), found);
    Names expected = listedPatternByPattern(path, types());
    expected.insert(expected.begin(), L"kept");
    EXPECT_EQ(listed(found), expected);
    EXPECT_EQ(found.count(), 1 + 9) << "nine pictures, each once; no folder, no file of another type";
    EXPECT_EQ(std::wstring(found.at(1).buffer()), folder.file(L"a.bmp")) << "type by type: the bitmaps first";

    wstringArray patterns;
    for (const wchar_t* pattern : {L"*.PNG", L"*.tar.gz", L"*.jp?", L"*.bmp"})
        patterns.add(pattern);
    wstringArray some;
    findReadablePictures(path.c_str(), patterns, some);
    EXPECT_EQ(listed(some), listedPatternByPattern(path, listed(patterns)));
    EXPECT_EQ(some.count(), 3 + 1 + 1) << "the PNGs, the archive and the bitmap";
}
