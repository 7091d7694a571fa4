// Entry point of every test program: a wide-character main, as the programs under test use.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>

namespace {

// A crash must fail the run. Under Wine the shell sees only the low byte of the exit code, and the code of a
// crash can end in 00 (0x80000100, a function Wine lacks), which would pass for success.
LONG WINAPI endCrashedRun(EXCEPTION_POINTERS* exception)
{
    std::fprintf(stderr, "Crashed with exception 0x%08lX\n", exception->ExceptionRecord->ExceptionCode);
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
