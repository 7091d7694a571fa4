#pragma once
#include <windows.h>
#include <cmath>

// The largest picture the program makes, and lets a decoder make for it: 2^27 pixels (134,217,728, such as
// 16,384 x 8,192) and 1 GiB at the picture's own depth. A 32-bit working copy then takes at most 512 MiB, so
// a step that holds its source and its result stays within the 2 GiB that even a 32-bit process can address,
// whatever memory the machine has; and every byte count of a picture, up to the 64 bits per pixel of the
// deepest GDI+ format, stays well inside the signed 32-bit sizes of GDI+, WIC and the library's blocks. The
// pixel count lies above what cameras make (about 100 million) and far below what slants near 90 degrees, long
// texts or joins of many large pictures would ask for. Code that throws reports a refusal as PictureTooLarge.
// (Header only: the screen saver's Dib asks it too.)
class PictureSizeLimit {
public:
    static constexpr LONGLONG MaxPixels = 1LL << 27;
    static constexpr LONGLONG MaxBytes = 1LL << 30;

    // Whether a picture of the size (whole pixels; a fraction counts as a whole one) and depth is within the
    // limit. Negative sizes and sizes that are no number are not.
    static bool admits(double width, double height, int bitsPerPixel = 32)
    {
        // Written so that a NaN fails; each side alone must fit before the sizes are multiplied.
        if (!(width >= 0 && height >= 0 && width <= MaxPixels && height <= MaxPixels))
            return false;
        auto columns = static_cast<LONGLONG>(std::ceil(width));
        auto rows = static_cast<LONGLONG>(std::ceil(height));
        LONGLONG stride = (columns * (bitsPerPixel > 0 ? bitsPerPixel : 0) + 31) / 32 * 4;
        return columns * rows <= MaxPixels && stride * rows <= MaxBytes;
    }

    // admits; beyond the limit false with the last error 8 (ERROR_NOT_ENOUGH_MEMORY): the program gives no
    // picture that much memory. Pixel code asks this before it allocates.
    static bool check(double width, double height, int bitsPerPixel = 32)
    {
        if (admits(width, height, bitsPerPixel))
            return true;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
};
