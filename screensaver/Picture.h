#pragma once
#include "imaging/Dib.h"

class Pic;

// A 24-bit picture in memory: every buffer the saver draws from.
class Picture : public Dib {
public:
    static constexpr int BitCount = 24;
    static constexpr int BytesPerPixel = 3;

    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // A black picture of the size; false (and empty) with the last error when it cannot be made.
    bool createBlank(int width, int height);
    // The loaded picture at its own pixel size.
    bool createFrom(const Pic& pic);
    // The first byte of the row `y`, counted from the top.
    BYTE* row(int y) const { return getBits() + static_cast<INT_PTR>(height() - 1 - y) * stride(); }
};
