#include "conversion/ColorFilter.h"
#include "imaging/BitmapLock.h"
#include "imaging/ICanceller.h"

namespace ImageConvert {

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
        filter->applyRow(lock.row(y), lock.width());
    }
    return true;
}

} // namespace ImageConvert
