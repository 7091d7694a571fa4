#pragma once

// Leaves only the system folder, and folders added on purpose, to every later search for a library by bare name,
// for the whole process: the program's own folder, the current one and the PATH folders are out. Each program
// calls it first thing in its entry point, before anything loads a library.
void restrictLibrarySearch();
