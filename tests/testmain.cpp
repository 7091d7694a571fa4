// Entry point of every test program: a wide-character main, as the programs under test use.
#include <windows.h>
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv)
{
    // A fault must end the run with an error code instead of waiting in a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
