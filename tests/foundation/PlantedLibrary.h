#pragma once
#include <windows.h>
#include <string>

// The event that the planted library (plantedlibrary/PlantedLibrary.cpp) signals when a process loads it: one
// per process, so that a process that creates it beforehand learns whether the library ever ran in it.
inline std::wstring plantedLibraryEventName(DWORD process)
{
    return L"korvilane-planted-library-" + std::to_wstring(process);
}
