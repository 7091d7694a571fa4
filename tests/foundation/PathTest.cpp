#include <gtest/gtest.h>
#include <shlobj.h>
#include <set>
#include <string>
#include <tuple>
#include "foundation/FileSystem.h"
#include "foundation/FileTime.h"
#include "foundation/FindFiles.h"
#include "foundation/Path.h"
#include "support/ExpectCode.h"

namespace {

// A scratch folder of the test's own under the temporary folder, removed afterwards.
class FileSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = wstring(temp) + L"korvilane-paths\\";
        removeTree(folder);
        ASSERT_TRUE(CreateDirectoryW(folder.buffer(), nullptr));
    }
    void TearDown() override { removeTree(folder); }

    static void removeTree(const wstring& directory)
    {
        FindFiles entries;
        for (bool found = entries.findFirst((directory + L"*").buffer()); found; found = entries.findNext()) {
            wstring name(entries.getName());
            if (entries.getAttributes() & FILE_ATTRIBUTE_DIRECTORY) {
                if (name != L"." && name != L"..")
                    removeTree(directory + name + L"\\");
            } else {
                DeleteFileW((directory + name).buffer());
            }
        }
        RemoveDirectoryW(directory.buffer());
    }
    wstring make(const wchar_t* name, const char* content = "data")
    {
        wstring path = folder + name;
        HANDLE file = CreateFileW(path.buffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, content, lstrlenA(content), &written, nullptr);
        CloseHandle(file);
        return path;
    }
    wstring makeFolder(const wchar_t* name)
    {
        CreateDirectoryW((folder + name).buffer(), nullptr);
        return folder + name;
    }

    wstring folder;
};

} // namespace

TEST(Path, NormalisesAndSplitsTheText)
{
    Path file(L"C:\\work\\sub\\..\\.\\archive.tar.gz");
    EXPECT_STREQ(file.getDirectory().buffer(), L"C:\\work\\");
    EXPECT_STREQ(file.getFileName().buffer(), L"archive.tar.gz");
    EXPECT_STREQ(file.getBaseName().buffer(), L"archive.tar");
    EXPECT_STREQ(file.getExtension().buffer(), L".gz");
    EXPECT_STREQ(file.getExtension(true).buffer(), L"gz");
    EXPECT_STREQ(Path(L"C:\\a.b\\readme").getBaseName().buffer(), L"readme");
    EXPECT_TRUE(Path(L"C:\\a.b\\readme").getExtension().isEmpty());
    EXPECT_TRUE(Path(L"C:\\.profile").getBaseName().isEmpty());

    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_STREQ(Path(L"写真.png").getPath().buffer(), combinePath(current, L"写真.png").buffer());
    EXPECT_STREQ(combinePath(L"C:\\work", L"a.jpg").buffer(), L"C:\\work\\a.jpg");
    EXPECT_STREQ(combinePath(L"C:\\work\\", L"..\\b.jpg").buffer(), L"C:\\b.jpg");
    expectCode(ERROR_INVALID_PARAMETER, [] { Path empty(L""); });
    EXPECT_FALSE(Path().exists());
}

TEST(Path, RootParentAndCompactForm)
{
    Path root(L"C:\\");
    EXPECT_STREQ(root.getDirectory().buffer(), L"C:\\");
    EXPECT_TRUE(root.getFileName().isEmpty());
    EXPECT_TRUE(root.isRoot());
    EXPECT_STREQ(root.getRoot().buffer(), L"C:\\");

    Path deep(L"C:\\one\\two\\three.txt");
    EXPECT_STREQ(deep.getParent().getPath().buffer(), L"C:\\one\\two");
    EXPECT_STREQ(deep.getRoot().buffer(), L"C:\\");
    EXPECT_STREQ(deep.getCompactPath().buffer(), L"C:\\one\\two\\three.txt");
    wstring compact = Path(L"C:\\a very long folder name\\another long folder\\picture-0001.jpg").getCompactPath();
    EXPECT_EQ(compact.length(), 48);
    EXPECT_GE(compact.find(L"..."), 0);
}

TEST(Path, SpecialFolderAndModulePath)
{
    Path appData = Path::getSpecialFolder(CSIDL_APPDATA);
    EXPECT_TRUE(appData.getFileName().isEmpty());
    EXPECT_TRUE(appData.exists());
    expectCode(E_INVALIDARG, [] { Path::getSpecialFolder(0x7F); });

    Path program;
    program.getModulePath();
    EXPECT_STREQ(program.getFileName().toLower().buffer(), L"foundation_tests.exe");
}

TEST_F(FileSystemTest, MakeUniqueTakesTheFirstFreeNumber)
{
    make(L"a.jpg");
    make(L"a_1.jpg");
    EXPECT_STREQ(Path(folder + L"a.jpg").makeUnique(L"_").getPath().buffer(), (folder + L"a_2.jpg").buffer());
    EXPECT_STREQ(Path(folder + L"b.jpg").makeUnique(L"_").getPath().buffer(), (folder + L"b.jpg").buffer());

    // A directory is numbered as a whole; the suffixes do not pile up.
    makeFolder(L"out");
    makeFolder(L"out_1");
    EXPECT_TRUE(Path(folder + L"out\\").exists());
    EXPECT_STREQ(Path(folder + L"out\\").makeUnique(L"_").getPath().buffer(), (folder + L"out_2\\").buffer());
}

TEST_F(FileSystemTest, DirectoriesAndMoves)
{
    wstring file = make(L"a.jpg");
    EXPECT_TRUE(isDirectory(folder));
    EXPECT_FALSE(isDirectory(file));
    EXPECT_FALSE(isDirectory(folder + L"missing"));

    makeFolder(L"x");
    createDirectoryTree(folder + L"x\\y\\z\\");
    createDirectoryTree(folder + L"x\\y\\z");
    EXPECT_TRUE(isDirectory(folder + L"x\\y\\z"));
    expectCode(ERROR_ALREADY_EXISTS, [&] { createDirectory(folder + L"x"); });

    wstring other = make(L"b.jpg");
    expectCode(ERROR_ALREADY_EXISTS, [&] { moveFile(file, other); });
    moveFile(file, folder + L"c.jpg");
    EXPECT_FALSE(Path(file).exists());
    EXPECT_TRUE(Path(folder + L"c.jpg").exists());
}

TEST_F(FileSystemTest, IsSameFileComparesTheFileNotTheName)
{
    wstring a = make(L"a.jpg");
    wstring b = make(L"b.jpg");
    makeFolder(L"sub");
    EXPECT_TRUE(isSameFile(a, folder + L"sub\\..\\A.JPG"));
    EXPECT_FALSE(isSameFile(a, b));
    EXPECT_TRUE(isSameFile(folder, folder + L"sub\\.."));
    expectCode(ERROR_FILE_NOT_FOUND, [&] { isSameFile(a, folder + L"missing.jpg"); });

    // A file that another program keeps open for writing still answers.
    HANDLE writer = CreateFileW(a.buffer(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(isSameFile(a, a));
    CloseHandle(writer);
}

TEST_F(FileSystemTest, FileTimeCarriesTheTimesToAnotherFile)
{
    wstring source = make(L"source.jpg");
    wstring target = make(L"target.jpg");
    FILETIME old = {0xD53E8000, 0x01A8E79F}; // 2000-01-01
    HANDLE file = CreateFileW(source.buffer(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, &old, &old, &old);
    CloseHandle(file);

    FileTime times;
    ASSERT_TRUE(times.read(source.buffer()));
    ASSERT_TRUE(times.apply(target.buffer()));
    FileTime copied;
    ASSERT_TRUE(copied.read(target.buffer()));
    EXPECT_EQ(CompareFileTime(&copied.lastWrite, &old), 0);
    EXPECT_TRUE(times.apply(makeFolder(L"sub").buffer()));
    EXPECT_FALSE(times.read((folder + L"missing").buffer()));
    EXPECT_FALSE(times.apply((folder + L"missing").buffer()));
}

TEST_F(FileSystemTest, FindFilesListsOneLevelAndThenCloses)
{
    make(L"a.jpg", "12345");
    makeFolder(L"sub");
    make(L"sub\\inner.jpg");

    FindFiles find;
    std::set<std::wstring> names;
    ASSERT_TRUE(find.findFirst((folder + L"*").buffer()));
    do {
        names.insert(find.getName());
        if (lstrcmpW(find.getName(), L"a.jpg") == 0) {
            EXPECT_EQ(find.getSize(), 5u);
            EXPECT_STREQ(find.getFullPath().buffer(), (folder + L"a.jpg").buffer());
        }
    } while (find.findNext());
    EXPECT_EQ(names, (std::set<std::wstring>{L".", L"..", L"a.jpg", L"sub"}));
    EXPECT_FALSE(find.findNext());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(find.findFirst(L""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // Times of the current entry, in local time.
    ASSERT_TRUE(find.findFirst((folder + L"a.jpg").buffer()));
    FILETIME time;
    EXPECT_FALSE(find.getFileTime(3, time));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SYSTEMTIME wanted{2021, 6, 0, 15, 10, 30, 45, 0};
    ASSERT_TRUE(find.setFileTime(wanted));
    ASSERT_TRUE(find.findFirst((folder + L"a.jpg").buffer()));
    SYSTEMTIME read;
    ASSERT_TRUE(find.getLocalTime(FindFiles::LastWrite, read));
    EXPECT_EQ(std::make_tuple(read.wYear, read.wMonth, read.wDay, read.wHour, read.wMinute, read.wSecond),
              std::make_tuple(2021, 6, 15, 10, 30, 45));
}
