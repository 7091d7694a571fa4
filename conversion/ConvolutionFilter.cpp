#include "conversion/ConvolutionFilter.h"
#include <memory>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapLock.h"
#include "jobs/ICanceller.h"

namespace ImageConvert {

namespace {

struct BlockFreer {
    void operator()(BYTE* block) const { MemoryAllocator::free(block); }
};

BYTE clampToByte(double value)
{
    if (value < 0.0)
        return 0;
    if (value > 255.0)
        return 255;
    return static_cast<BYTE>(value);
}

// One pass from `pixels` into `work`; false when cancelled.
bool convolve(const BitmapLock& lock, BYTE* work, const double weights[9], ICanceller* canceller)
{
    int width = lock.width();
    int height = lock.height();
    int stride = lock.data.Stride;
    for (int y = 0; y < height; ++y) {
        if (isCancelled(canceller)) {
            SetLastError(0);
            return false;
        }
        for (int x = 0; x < width; ++x) {
            const BYTE* centre = lock.row(y) + x * 4;
            double sums[3] = {};
            for (int tap = 0; tap < 9; ++tap) {
                int column = x + tap % 3 - 1;
                int row = y + tap / 3 - 1;
                bool inside = column > 0 && column < width - 1 && row > 0 && row < height - 1;
                const BYTE* source = inside ? lock.row(row) + column * 4 : centre;
                for (int channel = 0; channel < 3; ++channel)
                    sums[channel] += source[channel] * weights[tap];
            }
            BYTE* target = work + static_cast<INT_PTR>(y) * stride + x * 4;
            for (int channel = 0; channel < 3; ++channel)
                target[channel] = clampToByte(sums[channel]);
            target[3] = centre[3];
        }
    }
    return true;
}

} // namespace

ConvolutionFilter::~ConvolutionFilter()
{
    if (ownsFilter)
        delete filter;
}

Gdiplus::Bitmap* ConvolutionFilter::convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    return changedCopy(bitmap, [&](Gdiplus::Bitmap* copy) { return applyInPlace(copy, canceller); });
}

bool ConvolutionFilter::applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    if (!filter || !isBitmap32(bitmap))
        return false;
    BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    int bytes = lock.data.Stride * lock.height();
    std::unique_ptr<BYTE, BlockFreer> work(static_cast<BYTE*>(MemoryAllocator::alloc(bytes)));
    if (!work)
        return false;
    double weights[9];
    filter->kernel(weights);
    for (unsigned int pass = 0; pass < repeat; ++pass) {
        if (!convolve(lock, work.get(), weights, canceller))
            return false;
        CopyMemory(lock.row(0), work.get(), bytes);
    }
    return true;
}

} // namespace ImageConvert
