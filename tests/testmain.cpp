// Entry point of every test program: a wide-character main, as the programs under test use.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>

namespace {

// A crash ends the program at once with a failing exit code. Left to the system's debugger, the exit code
// of a crashed program under Wine is not reliably non-zero, so a crash could pass as success.
LONG WINAPI endCrashedRun(EXCEPTION_POINTERS* exception)
{
    std::fprintf(stderr, "\nThe test program crashed: exception 0x%08lx at %p\n",
                 exception->ExceptionRecord->ExceptionCode, exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Test-only: "--exit-code=N" ends at once with N, so that a test can start this program as a child whose
    // exit code it knows.
    const wchar_t exitOption[] = L"--exit-code=";
    if (argc == 2 && wcsncmp(argv[1], exitOption, wcslen(exitOption)) == 0)
        return _wtoi(argv[1] + wcslen(exitOption));
    // A fault must end the run with an error code instead of waiting in a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endCrashedRun);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
