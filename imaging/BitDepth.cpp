#include "imaging/BitDepth.h"
#include <memory>
#include "imaging/BitmapCopy.h"
#include "imaging/ColorReduction.h"
#include "imaging/DibConversion.h"
#include "imaging/ICanceller.h"

namespace {

Gdiplus::Bitmap* failWith(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

Gdiplus::Bitmap* reduced(Gdiplus::Image* image, int bitCount, int paletteChoice, bool errorDiffusion,
                         ICanceller* canceller)
{
    std::unique_ptr<Dib> source(gdiplusBitmapToDib(image));
    if (!source)
        return failWith(ERROR_NOT_ENOUGH_MEMORY);
    Dib target;
    if (!reduceColors(*source, target, bitCount, paletteChoice, errorDiffusion, canceller))
        return failWith(isCancelled(canceller) ? 0 : ERROR_NOT_ENOUGH_MEMORY);
    Gdiplus::Bitmap* bitmap = dibToGdiplusBitmap(target, false);
    return bitmap ? bitmap : failWith(ERROR_NOT_ENOUGH_MEMORY);
}

Gdiplus::Bitmap* drawn(Gdiplus::Image* image, Gdiplus::PixelFormat format)
{
    int width = static_cast<int>(image->GetWidth());
    int height = static_cast<int>(image->GetHeight());
    std::unique_ptr<Gdiplus::Bitmap> bitmap(createBitmap(width, height, format));
    if (!bitmap)
        return failWith(ERROR_NOT_ENOUGH_MEMORY);
    Gdiplus::Graphics graphics(bitmap.get());
    if (graphics.DrawImage(image, 0, 0, width, height) != Gdiplus::Ok)
        return failWith(ERROR_NOT_ENOUGH_MEMORY);
    return bitmap.release();
}

} // namespace

Gdiplus::Bitmap* gdipConvertBitDepth(Gdiplus::Image* image, int bitCount, int paletteChoice, bool errorDiffusion,
                                     ICanceller* canceller)
{
    if (!image || image->GetType() == Gdiplus::ImageTypeUnknown)
        return failWith(ERROR_INVALID_PARAMETER);
    std::unique_ptr<Gdiplus::Bitmap> result;
    if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
        result.reset(reduced(image, bitCount, paletteChoice, errorDiffusion, canceller));
    } else {
        Gdiplus::PixelFormat format = pixelFormatOfDepth(bitCount);
        if (format == PixelFormatUndefined)
            return failWith(ERROR_INVALID_PARAMETER);
        result.reset(drawn(image, format));
    }
    if (!result)
        return nullptr;
    if (result->SetResolution(image->GetHorizontalResolution(), image->GetVerticalResolution()) != Gdiplus::Ok)
        return failWith(ERROR_NOT_ENOUGH_MEMORY);
    return result.release();
}
