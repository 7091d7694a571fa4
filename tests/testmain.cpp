// Entry point of every test program: a wide-character main, as the programs under test use.
#include <windows.h>
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv)
{
    // Test-only: "--exit-code=N" ends at once with N, so that a test can start this program as a child whose
    // exit code it knows.
    const wchar_t exitOption[] = L"--exit-code=";
    if (argc == 2 && wcsncmp(argv[1], exitOption, wcslen(exitOption)) == 0)
        return _wtoi(argv[1] + wcslen(exitOption));
    // A fault must end the run with an error code instead of waiting in a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
