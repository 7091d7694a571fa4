#pragma once
#include <windows.h>

// Changes one pixel by itself, through pointers to its four bytes.
class IColorFilter {
public:
    virtual ~IColorFilter() = default;
    // False, with last error 8, when the filter could not allocate its tables.
    virtual bool isReady() { return true; }
    virtual void apply(BYTE* alpha, BYTE* red, BYTE* green, BYTE* blue) = 0;
    // Changes `count` 32-bit pixels (blue, green, red, alpha bytes each) of one row. A picture then costs one
    // call per row: filters override it with a loop of their own.
    virtual void applyRow(BYTE* pixels, int count)
    {
        for (BYTE* end = pixels + static_cast<INT_PTR>(count) * 4; pixels != end; pixels += 4)
            apply(pixels + 3, pixels + 2, pixels + 1, pixels);
    }
};
