#include "conversion/ConvolutionFilter.h"
#include <emmintrin.h>
#include <cmath>
#include "conversion/Neighbourhood.h"
#include "foundation/ScratchBuffer.h"
#include "imaging/BitmapLock.h"

namespace ImageConvert {

namespace {

// Weights such as 0.11 are not exact in binary: a flat area under a kernel summing to 1 comes out a hair
// below its level (202.99999999999997 for 203) and plain truncation would darken it by one on every pass.
// The allowance is far below the smallest true fraction of two-decimal weights.
constexpr double RoundingAllowance = 1e-6;

// Without branches: kernels such as emboss send most sums below 0, and mispredicted jumps there cost more than
// the sums themselves.
BYTE clampToByte(double value)
{
    __m128d clamped = _mm_min_sd(_mm_max_sd(_mm_set_sd(value), _mm_setzero_pd()), _mm_set_sd(255.0));
    return static_cast<BYTE>(_mm_cvtsd_f64(clamped) + RoundingAllowance);
}

// Kernels of whole hundredths (every kernel of the program) summed exactly in integers, four pixels at a time.
// The sum in hundredths is clamped to 0..25500 and divided by 100: the same byte as the weighted sum in
// doubles, since a sum of hundredths is either whole, where the allowance covers the binary error, or at least
// 0.01 away from the next whole number.
class HundredthsKernel {
public:
    // False when a weight is not a whole number of hundredths, or too large for 16 bits as one.
    bool take(const double weights[9])
    {
        short hundredths[10] = {};
        for (int tap = 0; tap < 9; ++tap) {
            double scaled = weights[tap] * 100;
            double whole = std::round(scaled);
            if (std::fabs(scaled - whole) > 1e-9 || std::fabs(whole) > 32767)
                return false;
            hundredths[tap] = static_cast<short>(whole);
        }
        // Taps are taken in pairs, the ninth with a zero tap of weight 0.
        for (int pair = 0; pair < 5; ++pair) {
            short first = hundredths[2 * pair];
            short second = hundredths[2 * pair + 1];
            weightPairs[pair] = _mm_set_epi16(second, first, second, first, second, first, second, first);
        }
        return true;
    }

    // The colours of four pixels from their taps (see forEachNeighbourhood), the alpha bytes left 0.
    __m128i apply(const __m128i* taps) const
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i sums[4] = {zero, zero, zero, zero};
        for (int pair = 0; pair < 5; ++pair) {
            __m128i second = pair < 4 ? taps[2 * pair + 1] : zero;
            addPair(taps[2 * pair], second, weightPairs[pair], sums);
        }
        __m128i low = hundredthsToBytes(_mm_packs_epi32(sums[0], sums[1]));
        __m128i high = hundredthsToBytes(_mm_packs_epi32(sums[2], sums[3]));
        return _mm_packus_epi16(low, high);
    }

private:
    // Adds first x its weight + second x its weight to each channel's 32-bit sum, one vector of sums per pixel.
    static void addPair(__m128i first, __m128i second, __m128i weights, __m128i sums[4])
    {
        const __m128i zero = _mm_setzero_si128();
        // Byte pairs (first, second) per channel, pixels 0-1 and 2-3, then widened to 16 bits a pixel each.
        __m128i low = _mm_unpacklo_epi8(first, second);
        __m128i high = _mm_unpackhi_epi8(first, second);
        sums[0] = _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), weights));
        sums[1] = _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), weights));
        sums[2] = _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), weights));
        sums[3] = _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), weights));
    }

    // 16-bit sums in hundredths (saturated beyond 16 bits, which the clamp makes no difference) to 0..255:
    // x / 100 is (x * 41944) >> 22 for every x up to 32767.
    static __m128i hundredthsToBytes(__m128i sums)
    {
        __m128i clamped = _mm_min_epi16(_mm_max_epi16(sums, _mm_setzero_si128()), _mm_set1_epi16(25500));
        return _mm_srli_epi16(_mm_mulhi_epu16(clamped, _mm_set1_epi16(static_cast<short>(41944))), 6);
    }

    __m128i weightPairs[5];
};

// One pass from the locked pixels into `work`; false when cancelled.
bool convolve(const BitmapLock& lock, BYTE* work, const double weights[9], ICanceller* canceller)
{
    int stride = lock.data.Stride;
    HundredthsKernel hundredths;
    if (hundredths.take(weights)) {
        auto sumsInHundredths = [&](int x, int y, int count, const __m128i* taps) {
            BYTE* target = work + static_cast<INT_PTR>(y) * stride + x * 4;
            storePixels(target, withAlphaOf(hundredths.apply(taps), taps[4]), count);
        };
        return forEachNeighbourhood(lock.row(0), lock.width(), lock.height(), stride, canceller, sumsInHundredths);
    }
    auto sumsInDoubles = [&](int x, int y, int count, const __m128i* taps) {
        UINT32 pixels[9][4];
        for (int tap = 0; tap < 9; ++tap)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels[tap]), taps[tap]);
        for (int lane = 0; lane < count; ++lane) {
            double blue = 0, green = 0, red = 0;
            for (int tap = 0; tap < 9; ++tap) {
                const BYTE* source = reinterpret_cast<const BYTE*>(&pixels[tap][lane]);
                blue += source[0] * weights[tap];
                green += source[1] * weights[tap];
                red += source[2] * weights[tap];
            }
            BYTE* target = work + static_cast<INT_PTR>(y) * stride + (x + lane) * 4;
            target[0] = clampToByte(blue);
            target[1] = clampToByte(green);
            target[2] = clampToByte(red);
            target[3] = static_cast<BYTE>(pixels[4][lane] >> 24);
        }
    };
    return forEachNeighbourhood(lock.row(0), lock.width(), lock.height(), stride, canceller, sumsInDoubles);
}

} // namespace

bool ConvolutionFilter::applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    if (!filter || !isBitmap32(bitmap))
        return false;
    BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    // Rows as long as the locked ones.
    int bytes = lock.data.Stride * lock.height();
    ScratchBuffer<BYTE> work(bytes);
    BYTE* target = work.get();
    if (!target)
        return false;
    double weights[9];
    filter->kernel(weights);
    for (unsigned int pass = 0; pass < repeat; ++pass) {
        if (!convolve(lock, target, weights, canceller))
            return false;
        CopyMemory(lock.row(0), target, bytes);
    }
    return true;
}

} // namespace ImageConvert
