#pragma once
// The real korvilane.exe of the build, started as a separate process. Test programs that use this are made
// with korvilane_add_test_program(... PROGRAM), which tells them where the program lies.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "foundation/Path.h"
#include "support/ScratchFolder.h"

inline std::wstring builtKorvilaneProgram()
{
    Path tests;
    tests.getModulePath();
    std::wstring relative = KORVILANE_PROGRAM_RELATIVE;
    for (wchar_t& c : relative)
        if (c == L'/')
            c = L'\\';
    return Path(tests.getDirectory() + relative.c_str()).getPath().buffer();
}

// The screen-saver player as built, which korvilane.exe carries.
inline std::wstring builtPlayer()
{
    Path program(builtKorvilaneProgram().c_str());
    return Path(program.getDirectory() + L"..\\screensaver\\screensaver.scr").getPath().buffer();
}

// The exit code of the program run with the arguments; -2 when it could not start or did not end within a
// minute. Without a display a message box it tries to show fails at once, so every run ends by itself.
inline int runProgram(const std::wstring& program, const std::wstring& arguments)
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

// A private copy of the program in a folder of its own: no settings file lies beside it, so each run starts
// from the defaults, and what it saves beside itself is the test's own. Under a file name of its own, its runs
// also meet in a mutex of their own (the program names it after its file). A copy that fails fails the test.
class ProgramCopy {
public:
    explicit ProgramCopy(const wchar_t* folderName, const wchar_t* fileName = L"korvilane.exe")
        : folder(folderName), program(folder.file(fileName))
    {
        copy();
    }

    const std::wstring& path() const { return program; }
    int run(const std::wstring& arguments) const { return runProgram(program, arguments); }

private:
    void copy() { ASSERT_TRUE(CopyFileW(builtKorvilaneProgram().c_str(), program.c_str(), FALSE)) << GetLastError(); }

    ScratchFolder folder;
    std::wstring program;
};
