#include "conversion/Transform.h"
#include <memory>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"

namespace ImageConvert {

namespace {

struct BlockFreer {
    void operator()(UINT32* block) const { MemoryAllocator::free(block); }
};

} // namespace

Gdiplus::Bitmap* Transform::convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    std::unique_ptr<Gdiplus::Bitmap> copy(copyBitmap32(bitmap));
    if (!transform || !isBitmap32(copy.get()))
        return nullptr;
    BitmapLock source(copy.get(), Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
    if (!source.isLocked() || source.data.Stride != source.width() * 4)
        return nullptr;
    UINT32* out = nullptr;
    int outWidth = 0;
    int outHeight = 0;
    if (!transform->apply(source.pixels(0), source.width(), source.height(), out, outWidth, outHeight, canceller))
        return nullptr;
    std::unique_ptr<UINT32, BlockFreer> buffer(out);
    std::unique_ptr<Gdiplus::Bitmap> result(createBitmap(outWidth, outHeight));
    if (!buffer || !result)
        return nullptr;
    {
        BitmapLock target(result.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
        if (!target.isLocked())
            return nullptr;
        for (int y = 0; y < outHeight; ++y)
            CopyMemory(target.row(y), out + static_cast<INT_PTR>(y) * outWidth, outWidth * 4);
    }
    return result.release();
}

} // namespace ImageConvert
