#pragma once
#include <windows.h>
#include <oleacc.h>
#include "foundation/ComPtr.h"

// Owns the accessibility object of a screen element.
class Accessible {
public:
    Accessible() = default;
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    virtual ~Accessible() = default;

    // Releases the held object, then takes the one at the screen point; returns the child identifier.
    // A failure throws Exception with the HRESULT and leaves no object.
    int fromPoint(POINT screenPoint);
    // The role of the object itself; without an object throws Exception 1.
    int role() const;

    IAccessible* get() const { return object.get(); }

private:
    ComPtr<IAccessible> object;
};
