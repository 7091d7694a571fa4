#include "imaging/BitmapColors.h"
#include <memory>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"

namespace {

constexpr UINT32 ColorBits = 0x00FFFFFF;

UINT32 rgbOf(COLORREF color)
{
    return (static_cast<UINT32>(GetRValue(color)) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

bool isBitmap(Gdiplus::Image* image)
{
    return image && image->GetType() == Gdiplus::ImageTypeBitmap;
}

// Calls `change` with a pointer to every pixel of a 32-bit ARGB bitmap; false when it cannot be locked.
template <typename Change>
bool forEachPixel(Gdiplus::Bitmap* bitmap, UINT mode, Change change)
{
    BitmapLock lock(bitmap, mode, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    for (int y = 0; y < lock.height(); ++y) {
        UINT32* pixel = lock.pixels(y);
        for (int x = 0; x < lock.width(); ++x)
            change(pixel[x]);
    }
    return true;
}

bool hasTranslucentPixel(Gdiplus::Bitmap* bitmap, bool& found)
{
    found = false;
    return forEachPixel(bitmap, Gdiplus::ImageLockModeRead, [&](UINT32 pixel) {
        if ((pixel >> 24) < 0xFF)
            found = true;
    });
}

// Same format, the palette with the colour replaced, the pixel bytes copied unchanged.
Gdiplus::Bitmap* indexedWithTransparentColor(Gdiplus::Bitmap* source, UINT32 rgb, UINT32 replacement)
{
    int width = static_cast<int>(source->GetWidth());
    int height = static_cast<int>(source->GetHeight());
    Gdiplus::PixelFormat format = source->GetPixelFormat();
    std::unique_ptr<Gdiplus::Bitmap> result(createBitmap(width, height, format));
    if (!result)
        return nullptr;
    int bytes = source->GetPaletteSize();
    if (bytes < static_cast<int>(sizeof(Gdiplus::ColorPalette)))
        return nullptr;
    auto palette = static_cast<Gdiplus::ColorPalette*>(MemoryAllocator::alloc(bytes));
    bool paletteSet = palette && source->GetPalette(palette, bytes) == Gdiplus::Ok;
    if (paletteSet) {
        for (UINT i = 0; i < palette->Count; ++i)
            if ((palette->Entries[i] & ColorBits) == rgb)
                palette->Entries[i] = replacement;
        paletteSet = result->SetPalette(palette) == Gdiplus::Ok;
    }
    MemoryAllocator::free(palette);
    if (!paletteSet)
        return nullptr;
    BitmapLock from(source, Gdiplus::ImageLockModeRead, format);
    BitmapLock to(result.get(), Gdiplus::ImageLockModeWrite, format);
    if (!from.isLocked() || !to.isLocked())
        return nullptr;
    int rowBytes = (width * bitsPerPixel(format) + 7) / 8;
    for (int y = 0; y < height; ++y)
        CopyMemory(to.row(y), from.row(y), rowBytes);
    return result.release();
}

} // namespace

Gdiplus::Bitmap* makeColorMask(Gdiplus::Image* image, COLORREF color, bool invert)
{
    std::unique_ptr<Gdiplus::Bitmap> mask(copyBitmap32(image));
    if (!mask)
        return nullptr;
    UINT32 rgb = rgbOf(color);
    UINT32 matching = invert ? 0xFF000000 : 0xFFFFFFFF;
    UINT32 other = invert ? 0xFFFFFFFF : 0xFF000000;
    bool done = forEachPixel(mask.get(), Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                             [&](UINT32& pixel) { pixel = (pixel & ColorBits) == rgb ? matching : other; });
    return done ? mask.release() : nullptr;
}

Gdiplus::Bitmap* applyTransparentColor(Gdiplus::Image* image, COLORREF color, int alpha)
{
    if (!isBitmap(image))
        return nullptr;
    UINT32 rgb = rgbOf(color);
    UINT32 replacement = (static_cast<UINT32>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha) << 24) | rgb;
    if (bitsPerPixel(image->GetPixelFormat()) <= 8)
        return indexedWithTransparentColor(static_cast<Gdiplus::Bitmap*>(image), rgb, replacement);
    std::unique_ptr<Gdiplus::Bitmap> result(copyBitmap32(image));
    if (!result)
        return nullptr;
    bool done = forEachPixel(result.get(), Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                             [&](UINT32& pixel) {
                                 if ((pixel & ColorBits) == rgb)
                                     pixel = replacement;
                             });
    return done ? result.release() : nullptr;
}

bool hasTransparency(Gdiplus::Image* image, bool& found)
{
    found = false;
    if (!isBitmap(image))
        return false;
    auto bitmap = static_cast<Gdiplus::Bitmap*>(image);
    Gdiplus::PixelFormat format = image->GetPixelFormat();
    // 64-bit alpha scales differ between GDI+ builds (0..8192 on Windows); locked as 32 bits it is 0..255.
    if (format == PixelFormat32bppARGB || format == PixelFormat64bppARGB)
        return hasTranslucentPixel(bitmap, found);
    if (bitsPerPixel(format) > 8)
        return (format & PixelFormatAlpha) == 0;
    std::unique_ptr<Gdiplus::Bitmap> copy(copyBitmap32(image));
    return copy && hasTranslucentPixel(copy.get(), found);
}
