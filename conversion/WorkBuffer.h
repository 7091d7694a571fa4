#pragma once
#include <windows.h>
#include "conversion/PixelBuffer.h"
#include "foundation/MemPtr.h"

// The scratch block of a filter: width x height 32-bit items from allocPixels, freed with the owner. Null,
// with last error 8, when it cannot be had.
class WorkBuffer : public VoidPtr {
public:
    WorkBuffer(int width, int height) : VoidPtr(allocPixels(width, height)) {}

    template <typename T>
    T* as() const
    {
        static_assert(sizeof(T) == 4 || sizeof(T) == 1);
        return static_cast<T*>(get());
    }
};
