#include "conversion/PixelFilter.h"
#include "imaging/BitmapLock.h"

namespace ImageConvert {

bool PixelFilter::applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    if (!filter || !isBitmap32(bitmap))
        return false;
    BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    return filter->apply(lock.row(0), lock.width(), lock.height(), canceller);
}

} // namespace ImageConvert
