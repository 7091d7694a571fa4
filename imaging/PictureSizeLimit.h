#pragma once
#include <windows.h>
#include "foundation/Exception.h"

// The largest picture the program makes, and lets a decoder make for it: 2^27 pixels (134,217,728, such as
// 16,384 x 8,192) and 1 GiB at the picture's own depth. A 32-bit working copy then takes at most 512 MiB, so
// a step that holds its source and its result stays within the 2 GiB that even a 32-bit process can address,
// whatever memory the machine has; and every byte count of a picture, up to the 64 bits per pixel of the
// deepest GDI+ format, stays well inside the signed 32-bit sizes of GDI+, WIC and the library's blocks. The
// pixel count lies above what cameras make (about 100 million) and below what slants near 90 degrees, long
// texts or joins of many large pictures would ask for.
class PictureSizeLimit {
public:
    static constexpr LONGLONG MaxPixels = 1LL << 27;
    static constexpr LONGLONG MaxBytes = 1LL << 30;

    // Whether a picture of the size (whole pixels; a fraction counts as a whole one) and depth is within the
    // limit. Negative sizes and sizes that are no number are not.
    static bool admits(double width, double height, int bitsPerPixel = 32);
    // admits; beyond the limit false with the last error 8 (ERROR_NOT_ENOUGH_MEMORY): the program gives no
    // picture that much memory. Pixel code asks this before it allocates.
    static bool check(double width, double height, int bitsPerPixel = 32);
    // admits; beyond the limit it throws PictureTooLarge. The steps that plan a larger picture ask this first:
    // an error code would not outlive the clean-up of their GDI+ objects, which resets it under Wine.
    static void require(double width, double height, int bitsPerPixel = 32);
};

// A picture larger than PictureSizeLimit allows: Exception 8 (not enough memory), whose message is the system's
// text for it followed by the size that was asked for, such as "(4593661 x 800)".
class PictureTooLarge : public Exception {
public:
    PictureTooLarge(double width, double height) : Exception(ErrorCode::NoMemory), width(width), height(height) {}

    wchar_t* getMessage(bool& mustFree) const override;
    double getWidth() const { return width; }
    double getHeight() const { return height; }

private:
    double width;
    double height;
};
