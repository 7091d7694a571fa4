#include "conversion/EdgeDetect.h"
#include <emmintrin.h>
#include <algorithm>
#include "conversion/Neighbourhood.h"
#include "foundation/ScratchBuffer.h"

namespace {

// The larger of a and b in each 32-bit lane.
__m128i larger(__m128i a, __m128i b)
{
    __m128i aWins = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(aWins, a), _mm_andnot_si128(aWins, b));
}

// |value| in each 16-bit lane.
__m128i absolute(__m128i value)
{
    return _mm_max_epi16(value, _mm_sub_epi16(_mm_setzero_si128(), value));
}

// Per pixel the sum of |blue|, |green| and |red| of 16-bit channel values, two pixels to a vector, in both
// 32-bit lanes of each pixel.
__m128i colourSum(__m128i channels)
{
    const __m128i colourOnly = _mm_set_epi16(0, 1, 1, 1, 0, 1, 1, 1);
    __m128i pairs = _mm_madd_epi16(absolute(channels), colourOnly);
    return _mm_add_epi32(pairs, _mm_shuffle_epi32(pairs, _MM_SHUFFLE(2, 3, 0, 1)));
}

// The strengths of two pixels from their taps widened to 16 bits a channel: per channel the kernel
// 1, 2, 1 / 0, 0, 0 / -1, -2, -1 (down the picture) and its transpose (across), the larger of the two
// channel sums. Each sum of a channel stays within 16 bits (at most 4 x 255 either way).
__m128i strengthsOfTwo(const __m128i* t)
{
    __m128i down = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(t[0], _mm_add_epi16(t[1], t[1])), t[2]),
                                 _mm_add_epi16(_mm_add_epi16(t[6], _mm_add_epi16(t[7], t[7])), t[8]));
    __m128i across = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(t[0], _mm_add_epi16(t[3], t[3])), t[6]),
                                   _mm_add_epi16(_mm_add_epi16(t[2], _mm_add_epi16(t[5], t[5])), t[8]));
    return larger(colourSum(down), colourSum(across));
}

// The strengths of four pixels, one 32-bit lane each.
__m128i strengthsOfFour(const __m128i* taps)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i low[9];
    __m128i high[9];
    for (int tap = 0; tap < 9; ++tap) {
        low[tap] = _mm_unpacklo_epi8(taps[tap], zero);
        high[tap] = _mm_unpackhi_epi8(taps[tap], zero);
    }
    // Each pixel's strength is in both lanes of its half: take lanes 0 and 2 of each.
    return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(strengthsOfTwo(low)),
                                           _mm_castsi128_ps(strengthsOfTwo(high)), _MM_SHUFFLE(2, 0, 2, 0)));
}

int largestLane(__m128i values)
{
    values = larger(values, _mm_shuffle_epi32(values, _MM_SHUFFLE(1, 0, 3, 2)));
    values = larger(values, _mm_shuffle_epi32(values, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(values);
}

// Edges (strength above the threshold) black, the rest white, the alpha bytes kept; four pixels at a time.
void drawRow(BYTE* pixels, const int* strengths, int width, int threshold)
{
    const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
    const __m128i limit = _mm_set1_epi32(threshold);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        auto pixel = reinterpret_cast<__m128i*>(pixels + x * 4);
        __m128i edge = _mm_cmpgt_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(strengths + x)), limit);
        __m128i alphas = _mm_andnot_si128(colourBytes, _mm_loadu_si128(pixel));
        _mm_storeu_si128(pixel, _mm_or_si128(alphas, _mm_andnot_si128(edge, colourBytes)));
    }
    for (; x < width; ++x) {
        BYTE level = strengths[x] > threshold ? 0 : 255;
        pixels[x * 4] = pixels[x * 4 + 1] = pixels[x * 4 + 2] = level;
    }
}

} // namespace

bool EdgeDetect::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    ScratchBuffer<int> work(static_cast<LONGLONG>(width) * height);
    int* strengths = work.get();
    if (!strengths)
        return false;
    int stride = width * 4;
    __m128i strongest = _mm_setzero_si128();
    auto measure = [&](int x, int y, int count, const __m128i* taps) {
        __m128i found = strengthsOfFour(taps);
        int* target = strengths + static_cast<INT_PTR>(y) * width + x;
        if (count == 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target), found);
        else
            found = _mm_cvtsi32_si128(*target = _mm_cvtsi128_si32(found));
        strongest = larger(strongest, found);
    };
    if (!forEachNeighbourhood(pixels, width, height, stride, canceller, measure))
        return false;

    int threshold = largestLane(strongest) / 8;
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        drawRow(pixels + static_cast<INT_PTR>(y) * stride, strengths + static_cast<INT_PTR>(y) * width, width,
                threshold);
    }
    return true;
}
