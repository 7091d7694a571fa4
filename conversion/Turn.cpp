#include "conversion/Turn.h"
#include "conversion/PixelBuffer.h"

namespace {

// Input row y becomes output column height - 1 - y, read downwards.
void turnClockwise(const UINT32* pixels, int width, int height, UINT32* out)
{
    for (int y = 0; y < height; ++y) {
        const UINT32* row = pixels + static_cast<INT_PTR>(y) * width;
        UINT32* target = out + (height - 1 - y);
        for (int x = 0; x < width; ++x, target += height)
            *target = row[x];
    }
}

// Input row y becomes output column y, read upwards.
void turnAnticlockwise(const UINT32* pixels, int width, int height, UINT32* out)
{
    for (int y = 0; y < height; ++y) {
        const UINT32* row = pixels + static_cast<INT_PTR>(y) * width;
        UINT32* target = out + static_cast<INT_PTR>(width - 1) * height + y;
        for (int x = 0; x < width; ++x, target -= height)
            *target = row[x];
    }
}

// The whole buffer read backwards.
void turnHalf(const UINT32* pixels, int width, int height, UINT32* out)
{
    INT_PTR count = static_cast<INT_PTR>(width) * height;
    for (INT_PTR i = 0; i < count; ++i)
        out[i] = pixels[count - 1 - i];
}

} // namespace

bool Turn::apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth, int& outHeight,
                 ICanceller*)
{
    clearOutput(outPixels, outWidth, outHeight);
    if (!pixels || width < 1 || height < 1 || kind < Anticlockwise || kind > HalfTurn) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    UINT32* out = allocPixels(width, height);
    if (!out)
        return false;
    if (kind == HalfTurn) {
        turnHalf(pixels, width, height, out);
        outWidth = width;
        outHeight = height;
    } else {
        if (kind == Clockwise)
            turnClockwise(pixels, width, height, out);
        else
            turnAnticlockwise(pixels, width, height, out);
        outWidth = height;
        outHeight = width;
    }
    outPixels = out;
    return true;
}
