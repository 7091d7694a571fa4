#pragma once
#include <windows.h>

class ICanceller;

// Moves pixels of a 32-bit picture into a new buffer, which may have another size.
class ITransform {
public:
    virtual ~ITransform() = default;
    // The new buffer comes from MemoryAllocator and belongs to the caller. On failure or cancel the result is
    // false and the outputs are cleared; a cancel leaves last error 0.
    virtual bool apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth,
                       int& outHeight, ICanceller* canceller) = 0;
};
