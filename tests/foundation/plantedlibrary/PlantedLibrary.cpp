// A library that a test plants under a system library's name. It exports nothing, so a program that took it for
// the real one fails, and it records that it was loaded at all.
#include <windows.h>
#include "PlantedLibrary.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    HANDLE loaded = OpenEventW(EVENT_MODIFY_STATE, FALSE, plantedLibraryEventName(GetCurrentProcessId()).c_str());
    if (loaded) {
        SetEvent(loaded);
        CloseHandle(loaded);
    }
    return TRUE;
}
