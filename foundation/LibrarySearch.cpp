#include "foundation/LibrarySearch.h"
#include <windows.h>

void restrictLibrarySearch()
{
    // The folder the user starts the program from (a downloads folder, a folder of pictures) is not the
    // program's to trust.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    // Loads that bring their own search order (LOAD_WITH_ALTERED_SEARCH_PATH) do not use the default
    // directories; an empty library folder takes the current folder out of those as well.
    SetDllDirectoryW(L"");
}
