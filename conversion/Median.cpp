#include "conversion/Median.h"
#include <emmintrin.h>
#include <cstring>
#include "conversion/Neighbourhood.h"
#include "foundation/ScratchBuffer.h"

namespace {

// Orders the bytes of a and b lane by lane: a gets the smaller, b the larger.
inline void order(__m128i& a, __m128i& b)
{
    __m128i smaller = _mm_min_epu8(a, b);
    b = _mm_max_epu8(a, b);
    a = smaller;
}

// The fifth smallest of nine, in every byte lane at once, so for each channel of four pixels: a selection
// network of 19 exchanges (correct for all inputs because it is for all inputs of 0s and 1s). Sorting the
// nine values of each channel gives the same result at many times the cost.
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
    auto takeMedian = [&](int x, int y, int count, const __m128i* taps) {
        __m128i centre = taps[4];
        __m128i sorting[9];
        std::memcpy(sorting, taps, sizeof(sorting));
        __m128i medians = withAlphaOf(medianOfNine(sorting), centre);
        storePixels(results + static_cast<INT_PTR>(y) * stride + x * 4, medians, count);
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
