#pragma once
#include <windows.h>
#include "foundation/Exception.h"

// A picture larger than PictureSizeLimit allows: Exception 8 (not enough memory), whose message is the system's
// text for it followed by the size that was asked for, such as "(4593661 x 800)".
class PictureTooLarge : public Exception {
public:
    PictureTooLarge(double width, double height) : Exception(ErrorCode::NoMemory), width(width), height(height) {}

    // The steps that plan a larger picture ask this before they make anything: an error code would not outlive
    // the clean-up of their GDI+ objects, which resets it under Wine.
    static void throwIfBeyondLimit(double width, double height, int bitsPerPixel = 32);

    wchar_t* getMessage(bool& mustFree) const override;
    double getWidth() const { return width; }
    double getHeight() const { return height; }

private:
    double width;
    double height;
};
