#include "conversion/Median.h"
#include <emmintrin.h>
#include <cstring>
#include "conversion/Neighbourhood.h"
#include "foundation/ScratchBuffer.h"

namespace {

// One 32-bit pixel in the low lane of a vector; the other lanes are unused.
__m128i loadPixel(const BYTE* pixel)
{
    int value;
    std::memcpy(&value, pixel, 4);
    return _mm_cvtsi32_si128(value);
}

// Orders the bytes of a and b lane by lane: a gets the smaller, b the larger.
inline void order(__m128i& a, __m128i& b)
{
    __m128i smaller = _mm_min_epu8(a, b);
    b = _mm_max_epu8(a, b);
    a = smaller;
}

// The fifth smallest of nine, in every byte lane at once: a selection network of 19 exchanges (correct for
// all inputs because it is for all inputs of 0s and 1s). Sorting the nine values of each channel gives the
// same result at many times the cost.
__m128i medianOfNine(__m128i v[9])
{
    order(v[1], v[2]), order(v[4], v[5]), order(v[7], v[8]);
    order(v[0], v[1]), order(v[3], v[4]), order(v[6], v[7]);
    order(v[1], v[2]), order(v[4], v[5]), order(v[7], v[8]);
    order(v[0], v[3]), order(v[5], v[8]), order(v[4], v[7]);
    order(v[3], v[6]), order(v[1], v[4]), order(v[2], v[5]);
    order(v[4], v[7]), order(v[4], v[2]), order(v[6], v[4]);
    order(v[4], v[2]);
    return v[4];
}

} // namespace

bool Median::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    ScratchBuffer<BYTE> work(4LL * width * height);
    BYTE* results = work.get();
    if (!results)
        return false;
    int stride = width * 4;
    auto takeMedian = [&](int x, int y, const BYTE* pixel, const int* offsets) {
        __m128i taps[9];
        for (int tap = 0; tap < 9; ++tap)
            taps[tap] = loadPixel(pixel + offsets[tap]);
        int median = _mm_cvtsi128_si32(medianOfNine(taps));
        BYTE* target = results + static_cast<INT_PTR>(y) * stride + x * 4;
        std::memcpy(target, &median, 3);
        target[3] = pixel[3];
    };
    if (!forEachNeighbourhood(pixels, width, height, stride, canceller, takeMedian))
        return false;
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        INT_PTR row = static_cast<INT_PTR>(y) * stride;
        CopyMemory(pixels + row, results + row, stride);
    }
    return true;
}
