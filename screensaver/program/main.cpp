// The entry point of screensaver.scr.
#include <windows.h>
#include "foundation/LibrarySearch.h"
#include "screensaver/ScreenSaverFramework.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    restrictLibrarySearch();
    return runScreenSaver(instance, commandLine);
}
