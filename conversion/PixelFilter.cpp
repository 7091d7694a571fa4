#include "conversion/PixelFilter.h"
#include <memory>
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"

namespace ImageConvert {

PixelFilter::~PixelFilter()
{
    if (ownsFilter)
        delete filter;
}

Gdiplus::Bitmap* PixelFilter::convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    std::unique_ptr<Gdiplus::Bitmap> copy(copyBitmap32(bitmap));
    if (!copy || !applyInPlace(copy.get(), canceller))
        return nullptr;
    return copy.release();
}

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
