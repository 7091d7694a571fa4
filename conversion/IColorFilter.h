#pragma once
#include <windows.h>

// Changes one pixel by itself, through pointers to its four bytes.
class IColorFilter {
public:
    virtual ~IColorFilter() = default;
    // False, with last error 8, when the filter could not allocate its tables.
    virtual bool isReady() { return true; }
    virtual void apply(BYTE* alpha, BYTE* red, BYTE* green, BYTE* blue) = 0;
};
