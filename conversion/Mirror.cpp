#include "conversion/Mirror.h"
#include "conversion/PixelBuffer.h"

bool Mirror::apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth,
                   int& outHeight, ICanceller*)
{
    clearOutput(outPixels, outWidth, outHeight);
    if (!pixels || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    UINT32* out = allocPixels(width, height);
    if (!out)
        return false;
    for (int y = 0; y < height; ++y) {
        UINT32* target = out + static_cast<INT_PTR>(y) * width;
        if (vertical) {
            CopyMemory(target, pixels + static_cast<INT_PTR>(height - 1 - y) * width, static_cast<SIZE_T>(width) * 4);
            continue;
        }
        const UINT32* row = pixels + static_cast<INT_PTR>(y) * width;
        for (int x = 0; x < width; ++x)
            target[x] = row[width - 1 - x];
    }
    outPixels = out;
    outWidth = width;
    outHeight = height;
    return true;
}
