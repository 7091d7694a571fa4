#pragma once
#include <windows.h>

class ICanceller;

// Changes a whole 32-bit picture in place (blue, green, red, alpha bytes, rows of width x 4 bytes).
class IPixelFilter {
public:
    virtual ~IPixelFilter() = default;
    // Null pixels: false with last error 87; cancel: false with last error 0.
    virtual bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) = 0;
};
