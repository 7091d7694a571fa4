#include "conversion/ColorFilter.h"
#include "imaging/BitmapLock.h"
#include "jobs/ICanceller.h"

namespace ImageConvert {

ColorFilter::~ColorFilter()
{
    if (ownsFilter)
        delete filter;
}

Gdiplus::Bitmap* ColorFilter::convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    return changedCopy(bitmap, [&](Gdiplus::Bitmap* copy) { return applyInPlace(copy, canceller); });
}

bool ColorFilter::applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    if (!filter || !filter->isReady() || !isBitmap32(bitmap))
        return false;
    BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    for (int y = 0; y < lock.height(); ++y) {
        if (isCancelled(canceller)) {
            SetLastError(0);
            return false;
        }
        BYTE* pixel = lock.row(y);
        for (int x = 0; x < lock.width(); ++x, pixel += 4)
            filter->apply(pixel + 3, pixel + 2, pixel + 1, pixel);
    }
    return true;
}

} // namespace ImageConvert
