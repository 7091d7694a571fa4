#pragma once
#include <windows.h>

class ComboBox;

// A drop-down list filled with the items of a string of the program's string table ("a/b/c") and the item
// of that index selected. A missing string throws Exception with the system's error, an index outside
// -1 to the item count minus 1 Exception 87.
void fillListFromString(ComboBox& list, UINT itemsId, int selection);
