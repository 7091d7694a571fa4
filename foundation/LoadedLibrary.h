#pragma once
#include <windows.h>

// Owner of one library loaded by path; null (with the system's error) when it could not be loaded.
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

    // The export as a function of the caller's type; null when the library or the export is missing.
    template <typename Function>
    Function find(const char* name) const
    {
        if (!module)
            return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

private:
    HMODULE module;
};
