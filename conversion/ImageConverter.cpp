#include "conversion/ImageConverter.h"
#include <memory>
#include "imaging/BitmapColors.h"
#include "imaging/BitmapCopy.h"

namespace ImageConvert {

bool isBitmap32(Gdiplus::Bitmap* bitmap)
{
    return bitmap && bitmap->GetType() == Gdiplus::ImageTypeBitmap &&
           bitmap->GetPixelFormat() == PixelFormat32bppARGB;
}

Gdiplus::Bitmap* ImageConverters::convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    if (!converters)
        return nullptr;
    // `current` is always an intermediate result of ours, never the caller's input.
    std::unique_ptr<Gdiplus::Bitmap> current;
    for (int i = 0; i < converters->count(); ++i) {
        Gdiplus::Bitmap* next = converters->at(i)->convert(current ? current.get() : bitmap, canceller);
        if (!next)
            return nullptr;
        current.reset(next);
    }
    return current.release();
}

Gdiplus::Bitmap* Mask::convert(Gdiplus::Bitmap* bitmap, ICanceller*)
{
    std::unique_ptr<Gdiplus::Bitmap> copy(copyBitmap32(bitmap));
    Gdiplus::Color corner;
    if (!copy || copy->GetPixel(0, 0, &corner) != Gdiplus::Ok)
        return nullptr;
    return makeColorMask(copy.get(), RGB(corner.GetR(), corner.GetG(), corner.GetB()), inverted);
}

} // namespace ImageConvert
