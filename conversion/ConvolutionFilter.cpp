#include "conversion/ConvolutionFilter.h"
#include <emmintrin.h>
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

// One pass from the locked pixels into `work`; false when cancelled.
bool convolve(const BitmapLock& lock, BYTE* work, const double weights[9], ICanceller* canceller)
{
    int stride = lock.data.Stride;
    auto tapSums = [&](int x, int y, const BYTE* centre, const int* offsets) {
        double blue = 0, green = 0, red = 0;
        for (int tap = 0; tap < 9; ++tap) {
            const BYTE* source = centre + offsets[tap];
            blue += source[0] * weights[tap];
            green += source[1] * weights[tap];
            red += source[2] * weights[tap];
        }
        BYTE* target = work + static_cast<INT_PTR>(y) * stride + x * 4;
        target[0] = clampToByte(blue);
        target[1] = clampToByte(green);
        target[2] = clampToByte(red);
        target[3] = centre[3];
    };
    return forEachNeighbourhood(lock.row(0), lock.width(), lock.height(), stride, canceller, tapSums);
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
