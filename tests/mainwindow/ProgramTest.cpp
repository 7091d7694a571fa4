// The real korvilane.exe, started as a separate process without a display.
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "ClassesRoot.h"
#include "foundation/Path.h"
#include "support/ProgramCopy.h"
#include "support/fileBytes.h"

namespace {

class ProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite() { copy = std::make_unique<ProgramCopy>(L"korvilane-program"); }
    static void TearDownTestSuite() { copy.reset(); }

    static int exitCodeOf(const std::wstring& arguments) { return copy->run(arguments); }

    static inline std::unique_ptr<ProgramCopy> copy;
};

} // namespace

TEST_F(ProgramTest, AssociationSwitchesWriteAndRemoveTheLayoutFileKeys)
{
    ASSERT_EQ(exitCodeOf(L"-regist"), 0);
    std::wstring path = copy->path();
    CharLowerW(path.data());
    EXPECT_TRUE(holdsString(L".lay", L"korvilane.lay"));
    EXPECT_TRUE(holdsString(L"korvilane.lay", L"Korvilane Layout File"));
    EXPECT_TRUE(holdsString(L"korvilane.lay\\DefaultIcon", path + L",2"));
    EXPECT_TRUE(holdsString(L"korvilane.lay\\shell\\open\\command", L"\"" + path + L"\" \"%1\""));

    EXPECT_EQ(exitCodeOf(L"-UNREGIST"), 0);
    EXPECT_FALSE(keyExists(L".lay"));
    EXPECT_FALSE(keyExists(L"korvilane.lay"));
    EXPECT_EQ(exitCodeOf(L"-unregist"), 1) << "nothing left to remove";
}

TEST_F(ProgramTest, RemovingLeavesAnotherProgramsAssociationAlone)
{
    RegSetValueW(HKEY_CLASSES_ROOT, L".lay", REG_SZ, L"Other.Layout", 0);
    RegSetValueW(HKEY_CLASSES_ROOT, L"Other.Layout", REG_SZ, L"Other", 0);
    ASSERT_EQ(exitCodeOf(L"-regist"), 0);
    RegSetValueW(HKEY_CLASSES_ROOT, L".lay", REG_SZ, L"Other.Layout", 0);
    EXPECT_EQ(exitCodeOf(L"-unregist"), 0);
    EXPECT_FALSE(keyExists(L"korvilane.lay")) << "its own keys go";
    EXPECT_TRUE(holdsString(L".lay", L"Other.Layout"));
    EXPECT_TRUE(holdsString(L"Other.Layout", L"Other"));
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".lay");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Other.Layout");
}

// The windowed start without a display also ends with 1: only the batch writes a log of the picture it failed.
TEST_F(ProgramTest, CommandLineOptionsEndWithTheBatchModesErrorCode)
{
    ScratchFolder folder(L"korvilane-program-batch");
    std::wstring source = folder.file(L"missing.png");
    std::wstring log = folder.file(L"log.txt");
    EXPECT_EQ(exitCodeOf(L"/file \"" + source + L"\" \"" + folder.file(L"out.bmp") + L"\" /format BMP /log \"" + log +
                         L"\""),
              1);

    Bytes bytes = readBytes(log);
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size())));
    EXPECT_NE(text.find(L"(failure)" + source + L"\r\n"), std::wstring::npos);
}

TEST_F(ProgramTest, WindowedStartThatCannotCompleteIsNoSuccess)
{
    EXPECT_EQ(exitCodeOf(L""), 1);
    EXPECT_EQ(exitCodeOf(L"\"C:\\pictures\\a b.jpg\""), 1);
    // Nothing was saved: the settings file is written only on request.
    EXPECT_EQ(GetFileAttributesW((Path(copy->path().c_str()).getDirectory() + L"korvilane.xml").buffer()),
              INVALID_FILE_ATTRIBUTES);
}
