#pragma once
#include "foundation/LoadedLibrary.h"

// A system library that a window class needs loaded while the program runs, such as the rich-edit library:
// taken from the system folder only, never from a file of that name beside the program. get() is null when
// it could not be loaded; its users test that.
class DynamicLinkLibrary {
public:
    explicit DynamicLinkLibrary(const wchar_t* name) : library(LoadedLibrary::fromSystemFolder(name)) {}

    HMODULE get() const { return library.get(); }

private:
    LoadedLibrary library;
};
