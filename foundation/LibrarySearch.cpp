#include "foundation/LibrarySearch.h"
#include <windows.h>
#include <delayimp.h>

namespace {

// The libraries that the programs load on their first call (cmake/DelayLoad.cmake) come from the system folder
// only, also when the call comes before the entry point has restricted the search.
FARPROC WINAPI loadFromSystemFolder(unsigned notification, PDelayLoadInfo load)
{
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    return reinterpret_cast<FARPROC>(LoadLibraryExA(load->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

} // namespace

// Read by the runtime's delay-load helper; defined beside the function every entry point calls, so that each
// program links this one instead of the runtime's empty one.
PfnDliHook __pfnDliNotifyHook2 = loadFromSystemFolder;

void restrictLibrarySearch()
{
    // The folder the program lies in (a downloads folder) and the one the user starts it from (a folder of
    // pictures) are not the program's to trust: a library of a system name found there first would run inside it.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Loads that bring their own search order (LOAD_WITH_ALTERED_SEARCH_PATH) do not use the default
    // directories; an empty library folder takes the current folder out of those as well.
    SetDllDirectoryW(L"");
}
