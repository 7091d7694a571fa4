#include "conversion/EdgeDetect.h"
#include <algorithm>
#include <cstdlib>
#include "conversion/Neighbourhood.h"
#include "foundation/ScratchBuffer.h"

bool EdgeDetect::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    ScratchBuffer<int> work(static_cast<LONGLONG>(width) * height);
    int* strengths = work.get();
    if (!strengths)
        return false;
    int stride = width * 4;
    int strongest = 0;
    // Per channel the kernel 1, 2, 1 / 0, 0, 0 / -1, -2, -1 (down the picture) and its transpose (across).
    auto measure = [&](int x, int y, const BYTE* pixel, const int* offsets) {
        int down = 0;
        int across = 0;
        for (int channel = 0; channel < 3; ++channel) {
            auto tap = [&](int index) { return static_cast<int>(pixel[offsets[index] + channel]); };
            down += std::abs(tap(0) + 2 * tap(1) + tap(2) - tap(6) - 2 * tap(7) - tap(8));
            across += std::abs(tap(0) + 2 * tap(3) + tap(6) - tap(2) - 2 * tap(5) - tap(8));
        }
        int strength = std::max(down, across);
        strengths[static_cast<INT_PTR>(y) * width + x] = strength;
        strongest = std::max(strongest, strength);
    };
    if (!forEachNeighbourhood(pixels, width, height, stride, canceller, measure))
        return false;

    int threshold = strongest / 8;
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        BYTE* pixel = pixels + static_cast<INT_PTR>(y) * stride;
        const int* strength = strengths + static_cast<INT_PTR>(y) * width;
        for (int x = 0; x < width; ++x, pixel += 4) {
            BYTE level = strength[x] > threshold ? 0 : 255;
            pixel[0] = pixel[1] = pixel[2] = level;
        }
    }
    return true;
}
