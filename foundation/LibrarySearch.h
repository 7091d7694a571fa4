#pragma once

// Takes the current folder and the PATH folders out of every later search for a library by bare name, for the
// whole process: what remains is the program's own folder, the system folder and folders added on purpose.
// Each program calls it first thing in its entry point, before anything loads a library.
void restrictLibrarySearch();
