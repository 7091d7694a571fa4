// The real korvilane.exe, started as a separate process without a display: a message box it tries to show
// fails at once instead of waiting, so every run ends by itself.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "foundation/Path.h"
#include "foundation/ScratchFolder.h"

namespace {

std::wstring builtProgram()
{
    Path tests;
    tests.getModulePath();
    std::wstring relative = KORVILANE_PROGRAM_RELATIVE;
    for (wchar_t& c : relative)
        if (c == L'/')
            c = L'\\';
    return Path(tests.getDirectory() + relative.c_str()).getPath().buffer();
}

class ProgramTest : public testing::Test {
protected:
    // A private copy, so that the settings file beside it is the test's own.
    static void SetUpTestSuite()
    {
        folder = new ScratchFolder(L"korvilane-program");
        program = folder->file(L"korvilane.exe");
        ASSERT_TRUE(CopyFileW(builtProgram().c_str(), program.c_str(), FALSE)) << GetLastError();
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }

    // The exit code of the program run with the arguments; -2 when it could not start or did not end.
    static int exitCodeOf(const std::wstring& arguments)
    {
        std::wstring line = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return -2;
        DWORD code = static_cast<DWORD>(-2);
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, static_cast<UINT>(-2));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(code);
    }

    static ScratchFolder* folder;
    static std::wstring program;
};

ScratchFolder* ProgramTest::folder = nullptr;
std::wstring ProgramTest::program;

} // namespace

TEST_F(ProgramTest, AssociationSwitchesAnswerWithAnErrorUntilTheyCanBeCarriedOut)
{
    EXPECT_EQ(exitCodeOf(L"-regist"), 1);
    EXPECT_EQ(exitCodeOf(L"-UNREGIST"), 1);
}

TEST_F(ProgramTest, CommandLineOptionsEndWithTheBatchModesErrorCode)
{
    EXPECT_EQ(exitCodeOf(L"a.jpg /format 3"), 1);
}

TEST_F(ProgramTest, WindowedStartThatCannotCompleteIsNoSuccess)
{
    EXPECT_EQ(exitCodeOf(L""), 1);
    EXPECT_EQ(exitCodeOf(L"\"C:\\pictures\\a b.jpg\""), 1);
    // Nothing was saved: the settings file is written only on request.
    EXPECT_EQ(GetFileAttributesW((Path(program.c_str()).getDirectory() + L"korvilane.xml").buffer()),
              INVALID_FILE_ATTRIBUTES);
}
