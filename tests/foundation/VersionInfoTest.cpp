#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "foundation/ApplicationInfo.h"
#include "foundation/DllVersion.h"
#include "foundation/FileVersionInfo.h"
#include "support/ExpectCode.h"
#include "toolkit/CommonControls.h"

namespace {

wstring ownPath()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return wstring(path);
}

} // namespace

// The program's own version resource (foundation_tests.rc) has a company name only in its second translation.
TEST(FileVersionInfo, ReadsStringsOfTheFirstTranslationOnly)
{
    FileVersionInfo version;
    expectCode(ERROR_INVALID_FUNCTION, [&] { version.getProductName(); });
    ASSERT_TRUE(version.load(ownPath().buffer()));
    EXPECT_TRUE(version.getString(L"NoSuchString").isEmpty());

    ApplicationInfo info(ownPath().buffer());
    EXPECT_STREQ(info.getProductName().buffer(), L"コルヴィラーネ試験");
    EXPECT_TRUE(info.getCompanyName().isEmpty());
    EXPECT_STREQ(info.getLegalNotice().buffer(), L"© 試験用");
    EXPECT_STREQ(info.getProductVersion().buffer(), L"1.20");
}

TEST(ApplicationInfo, FileWithoutVersionInformationGivesEmptyStrings)
{
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"kvi", 0, path);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "not a program", 13, &written, nullptr);
    CloseHandle(file);

    FileVersionInfo version;
    EXPECT_FALSE(version.load(path));
    ApplicationInfo info(path);
    DeleteFileW(path);
    EXPECT_TRUE(info.getProductName().isEmpty() && info.getCompanyName().isEmpty() &&
                info.getLegalNotice().isEmpty() && info.getProductVersion().isEmpty());
}

TEST(getDllVersion, AsksTheLibraryOrReportsWhyNot)
{
    DLLVERSIONINFO info;
    getDllVersion(L"comctl32.dll", info);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_GE(info.dwMajorVersion, 5u);
    expectCode(ERROR_PROC_NOT_FOUND, [&] { getDllVersion(L"kernel32.dll", info); });
    expectCode(ERROR_MOD_NOT_FOUND, [&] { getDllVersion(L"no-such-library.dll", info); });

    // Wine's comctl32 says 5.81 whatever the manifest asks for: the tool-tip record of the older controls,
    // in the 64-bit size.
    getDllVersion(L"comctl32.dll", info);
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 81u);
    EXPECT_EQ(getComctl32Version(), 64);
}
