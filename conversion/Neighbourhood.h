#pragma once
#include <windows.h>
#include <emmintrin.h>
#include <cstring>
#include "conversion/PixelFilterChecks.h"

// The 3 x 3 neighbourhood of the neighbourhood filters. A neighbour is read only when it lies strictly inside
// the outermost ring of the picture; any other tap reads the pixel itself. So the ring, and what lies beyond
// it, is never read as a neighbour, and no tap leaves the buffer.

// Byte offsets from pixel (x, y) to its nine taps, row above, own row, row below, each left, centre, right;
// 0 for a tap that reads the pixel itself.
inline void neighbourOffsets(int x, int y, int width, int height, int stride, int offsets[9])
{
    for (int tap = 0; tap < 9; ++tap) {
        int rowStep = tap / 3 - 1;
        int columnStep = tap % 3 - 1;
        int column = x + columnStep;
        int row = y + rowStep;
        bool inside = column > 0 && column < width - 1 && row > 0 && row < height - 1;
        offsets[tap] = inside ? rowStep * stride + columnStep * 4 : 0;
    }
}

// One 32-bit pixel in the lowest lane of a vector, the other lanes 0.
inline __m128i loadPixel(const BYTE* pixel)
{
    int value;
    std::memcpy(&value, pixel, 4);
    return _mm_cvtsi32_si128(value);
}

// Stores the lowest `count` pixels (1 or 4) of a vector.
inline void storePixels(BYTE* target, __m128i pixels, int count)
{
    if (count == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), pixels);
        return;
    }
    int value = _mm_cvtsi128_si32(pixels);
    std::memcpy(target, &value, 4);
}

// The colour bytes of `colours` with the alpha bytes of `alphas`, lane by lane.
inline __m128i withAlphaOf(__m128i colours, __m128i alphas)
{
    const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    return _mm_or_si128(_mm_andnot_si128(alphaBytes, colours), _mm_and_si128(alphaBytes, alphas));
}

// Calls visit(x, y, count, taps) for every 32-bit pixel, row by row from the top, asking the canceller before
// each row. `taps` holds nine vectors, one per tap in the order of neighbourOffsets, with the pixel at x in the
// lowest lane and, when `count` is 4, its three right-hand neighbours in the other lanes (unused lanes are 0).
// Inside the ring, where every tap is a real neighbour, the pixels come four at a time straight from the rows.
// False, with last error 0, when cancelled.
template <typename Visit>
bool forEachNeighbourhood(const BYTE* pixels, int width, int height, int stride, ICanceller* canceller,
                          Visit visit)
{
    const int inner[9] = {-stride - 4, -stride, -stride + 4, -4, 0, 4, stride - 4, stride, stride + 4};
    __m128i taps[9];
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        const BYTE* row = pixels + static_cast<INT_PTR>(y) * stride;
        auto visitOne = [&](int x, const int* offsets) {
            for (int tap = 0; tap < 9; ++tap)
                taps[tap] = loadPixel(row + x * 4 + offsets[tap]);
            visit(x, y, 1, taps);
        };
        auto visitEdge = [&](int x) {
            int offsets[9];
            neighbourOffsets(x, y, width, height, stride, offsets);
            visitOne(x, offsets);
        };
        int x = 0;
        if (y >= 2 && y <= height - 3) {
            for (; x < 2 && x < width; ++x)
                visitEdge(x);
            for (; x + 3 <= width - 3; x += 4) {
                const BYTE* pixel = row + x * 4;
                for (int tap = 0; tap < 9; ++tap)
                    taps[tap] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel + inner[tap]));
                visit(x, y, 4, taps);
            }
            for (; x <= width - 3; ++x)
                visitOne(x, inner);
        }
        for (; x < width; ++x)
            visitEdge(x);
    }
    return true;
}
