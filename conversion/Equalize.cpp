#include "conversion/Equalize.h"
#include <algorithm>
#include "conversion/PixelFilterChecks.h"

void buildEqualizeTable(const int histogram[256], double ratio, BYTE table[256])
{
    int atOrBelow[256];
    int count = 0;
    for (int level = 0; level < 256; ++level)
        atOrBelow[level] = count += histogram[level];
    int spread = std::max(1, atOrBelow[255] - atOrBelow[0]);
    for (int level = 0; level < 256; ++level) {
        int value = level;
        if (ratio > 0) {
            value = MulDiv(atOrBelow[level] - atOrBelow[0], 255, spread);
            if (ratio != 1)
                value = static_cast<int>((value - level) * ratio) + level;
        }
        table[level] = static_cast<BYTE>(value);
    }
}

Equalize::Equalize(double ratio) : ratio(std::clamp(ratio, 0.0, 1.0)) {}

bool Equalize::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    int stride = width * 4;
    int histogram[256] = {};
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        const BYTE* pixel = pixels + static_cast<INT_PTR>(y) * stride;
        for (int x = 0; x < width; ++x, pixel += 4)
            ++histogram[(pixel[2] * 77 + pixel[1] * 151 + pixel[0] * 28) >> 8];
    }
    BYTE table[256];
    buildEqualizeTable(histogram, ratio, table);
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        BYTE* pixel = pixels + static_cast<INT_PTR>(y) * stride;
        for (int x = 0; x < width; ++x, pixel += 4) {
            pixel[0] = table[pixel[0]];
            pixel[1] = table[pixel[1]];
            pixel[2] = table[pixel[2]];
        }
    }
    return true;
}
