#pragma once
#include <windows.h>

// Owner of one loaded library; null when loading failed (the last error tells why).
class LoadedLibrary {
public:
    explicit LoadedLibrary(const wchar_t* path) : module(LoadLibraryW(path)) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary()
    {
        if (module)
            FreeLibrary(module);
    }
    HMODULE get() const { return module; }

private:
    HMODULE module;
};
