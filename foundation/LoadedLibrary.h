#pragma once
#include <windows.h>

// Owner of one library loaded by full path (a plug-in the user chose) or, through fromSystemFolder, of a library
// of the system; null (with the system's error) when it could not be loaded.
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

    // A library of the system by its bare name, taken from the system folder only: a file of that name planted
    // beside the program or in the folder it was started from is never loaded and run in its place.
    static LoadedLibrary fromSystemFolder(const wchar_t* name)
    {
        return LoadedLibrary(Adopted{LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)});
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
    struct Adopted {
        HMODULE module;
    };
    explicit LoadedLibrary(Adopted adopted) : module(adopted.module) {}

    HMODULE module;
};
