#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/ComTesting.h"
#include "support/PictureFolder.h"
#include "toolkit/ItemIdList.h"
#include "toolkit/ShellFileInfoCache.h"
#include "toolkit/ShellFolder.h"

namespace {

// Types registered for the test alone, and removed again.
class RegisteredTypes {
public:
    RegisteredTypes()
    {
        set(L".korvilaneown", nullptr, L"KorvilaneTest.OwnIcon");
        set(L"KorvilaneTest.OwnIcon\\DefaultIcon", nullptr, L"%1");
        set(L".korvilanehandled", nullptr, L"KorvilaneTest.Handled");
        set(L"KorvilaneTest.Handled\\shellex\\IconHandler", nullptr, L"{00021401-0000-0000-C000-000000000046}");
        set(L".korvilaneplain", nullptr, L"KorvilaneTest.Plain");
        set(L"KorvilaneTest.Plain\\DefaultIcon", nullptr, L"shell32.dll,3");
    }
    RegisteredTypes(const RegisteredTypes&) = delete;
    RegisteredTypes& operator=(const RegisteredTypes&) = delete;
    ~RegisteredTypes()
    {
        for (const wchar_t* key : {L".korvilaneown", L"KorvilaneTest.OwnIcon", L".korvilanehandled",
                                   L"KorvilaneTest.Handled", L".korvilaneplain", L"KorvilaneTest.Plain"})
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key);
    }

private:
    static void set(const std::wstring& key, const wchar_t* name, const wchar_t* value)
    {
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value,
                        static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
    }
};

// What the shell says of the item, and what the cache says.
struct Answers {
    ShellFileInfo shell;
    ShellFileInfo cached;
};

Answers answersFor(ShellFileInfoCache& cache, const std::wstring& path)
{
    ShellFolder folder(nullptr);
    folder.openItem(path.c_str());
    OwnedIdList absolute(concatIdLists(folder.folderIdList(), folder.currentChild()));
    SFGAOF attributes = folder.attributesOf(SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
    return {shellFileInfoOf(absolute.get()), cache.infoOf(absolute.get(), attributes, folder.currentFileName())};
}

} // namespace

TEST(ShellFileTypes, TheFilesOfSomeTypesCarryTheirOwnIcons)
{
    RegisteredTypes types;
    for (const wchar_t* own : {L".exe", L".ico", L".lnk", L".korvilaneown", L".korvilanehandled"})
        EXPECT_TRUE(typeHasIconPerFile(own)) << own;
    for (const wchar_t* shared : {L".jpg", L".bmp", L".txt", L".korvilaneplain", L".korvilanenothing"})
        EXPECT_FALSE(typeHasIconPerFile(shared)) << shared;
}

TEST(ShellFileTypes, TheCacheAnswersAsTheShellDoesForEveryItem)
{
    ComApartment com;
    PictureFolder files(L"korvilane-fileinfo");
    ShellFileInfoCache cache;
    std::vector<std::wstring> items = {files.picture(L"a.bmp", 4, 4),  files.picture(L"b.BMP", 4, 4),
                                       files.file(L"c.txt", 3),        files.file(L"d.txt", 0),
                                       files.file(L"no extension", 5), files.folder(L"sub.bmp")};
    std::vector<int> icons;
    for (const std::wstring& path : items) {
        Answers answers = answersFor(cache, path);
        EXPECT_EQ(answers.cached.icon, answers.shell.icon) << path;
        EXPECT_TRUE(answers.cached.typeName.equals(answers.shell.typeName)) << path;
        icons.push_back(answers.cached.icon);
    }
    EXPECT_EQ(icons[0], icons[1]) << "one type, whatever the letter case";
}
