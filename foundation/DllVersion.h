#pragma once
#include <windows.h>
#include <shlwapi.h>

// Asks a system library, named bare and taken from the system folder, for its version through its
// "DllGetVersion" export. A missing library or export throws Exception with the last error, a failing call
// Exception with its HRESULT.
void getDllVersion(const wchar_t* libraryName, DLLVERSIONINFO& info);
