#pragma once
#include <windows.h>

// The module that the settings model's strings come from: the application's resource module, or the program
// file while there is no application object.
HMODULE programResourceModule();
