#pragma once
#include "foundation/LoadedLibrary.h"

// A library that a window class needs loaded while the program runs (get() is null when it could not be
// loaded; its users test that).
class DynamicLinkLibrary : public LoadedLibrary {
public:
    using LoadedLibrary::LoadedLibrary;
};
