#pragma once
#include <windows.h>
#include "foundation/MemPtr.h"

// A zero-filled block of width x height items of `itemSize` bytes from the library allocator, freed with the
// owner. Null, with last error 8, when it cannot be had, also when its size would pass what an int counts.
class WorkBuffer : public VoidPtr {
public:
    WorkBuffer(int width, int height, int itemSize) : VoidPtr(allocate(width, height, itemSize)) {}

    template <typename T>
    T* as() const
    {
        return static_cast<T*>(get());
    }

private:
    static void* allocate(int width, int height, int itemSize)
    {
        INT64 bytes = static_cast<INT64>(width) * height * itemSize;
        if (width < 0 || height < 0 || bytes > MAXINT) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        return MemoryAllocator::alloc(static_cast<int>(bytes));
    }
};
