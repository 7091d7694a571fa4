#include "imaging/BitmapCopy.h"
#include <memory>
#include "imaging/BitmapLock.h"

Gdiplus::Bitmap* createBitmap(int width, int height, Gdiplus::PixelFormat format)
{
    if (width < 1 || height < 1)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(width, height, format));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap.release();
}

Gdiplus::PixelFormat pixelFormatOfDepth(int bitCount)
{
    switch (bitCount) {
    case 1:
        return PixelFormat1bppIndexed;
    case 4:
        return PixelFormat4bppIndexed;
    case 8:
        return PixelFormat8bppIndexed;
    case 16:
        return PixelFormat16bppRGB555;
    case 24:
        return PixelFormat24bppRGB;
    case 32:
        return PixelFormat32bppARGB;
    case 48:
        return PixelFormat48bppRGB;
    case 64:
        return PixelFormat64bppARGB;
    default:
        return PixelFormatUndefined;
    }
}

Gdiplus::Bitmap* copyBitmap32(Gdiplus::Image* image)
{
    if (!image)
        return nullptr;
    return copyBitmapRect32(image, 0, 0, static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()));
}

Gdiplus::Bitmap* copyBitmapRect32(Gdiplus::Image* image, int x, int y, int width, int height)
{
    if (!image || image->GetType() == Gdiplus::ImageTypeUnknown)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> copy(createBitmap(width, height));
    if (!copy)
        return nullptr;
    if (image->GetType() != Gdiplus::ImageTypeBitmap) {
        Gdiplus::Graphics graphics(copy.get());
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        Gdiplus::Rect target(0, 0, width, height);
        if (graphics.DrawImage(image, target, x, y, width, height, Gdiplus::UnitPixel) != Gdiplus::Ok)
            return nullptr;
        return copy.release();
    }
    // Locking as 32-bit ARGB converts any source format without the rounding of a premultiplied draw.
    Gdiplus::Rect part(x, y, width, height);
    Gdiplus::Rect bounds(0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()));
    if (!part.Intersect(bounds))
        return copy.release();
    // Whole rows are locked: some GDI+ builds convert a sub-byte format from the wrong bit when a lock
    // starts inside a byte.
    Gdiplus::Rect rows(0, part.Y, bounds.Width, part.Height);
    BitmapLock source(static_cast<Gdiplus::Bitmap*>(image), rows, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
    Gdiplus::Rect placed(part.X - x, part.Y - y, part.Width, part.Height);
    BitmapLock target(copy.get(), placed, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!source.isLocked() || !target.isLocked())
        return nullptr;
    for (int row = 0; row < part.Height; ++row)
        CopyMemory(target.row(row), source.pixels(row) + part.X, part.Width * 4);
    return copy.release();
}
