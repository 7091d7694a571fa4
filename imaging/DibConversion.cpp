#include "imaging/DibConversion.h"
#include <algorithm>
#include <memory>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/BitmapLock.h"

namespace {

BYTE* dibRowOf(const Dib& dib, int bitmapRow)
{
    return dib.getBits() + static_cast<INT_PTR>(dib.height() - 1 - bitmapRow) * dib.stride();
}

// A GDI+ colour palette of `count` entries in a block of the allocator.
class PaletteBlock {
public:
    explicit PaletteBlock(Gdiplus::Image* image)
    {
        int bytes = image->GetPaletteSize();
        if (bytes < static_cast<int>(sizeof(Gdiplus::ColorPalette)))
            return;
        palette = static_cast<Gdiplus::ColorPalette*>(MemoryAllocator::alloc(bytes));
        if (palette && image->GetPalette(palette, bytes) != Gdiplus::Ok) {
            MemoryAllocator::free(palette);
            palette = nullptr;
        }
    }
    PaletteBlock(const PaletteBlock&) = delete;
    PaletteBlock& operator=(const PaletteBlock&) = delete;
    ~PaletteBlock() { MemoryAllocator::free(palette); }

    Gdiplus::ColorPalette* palette = nullptr;
};

void copyDib32(const Dib& dib, const BitmapLock& lock, bool keepAlpha)
{
    for (int y = 0; y < dib.height(); ++y) {
        const BYTE* source = dibRowOf(dib, y);
        BYTE* target = lock.row(y);
        for (int x = 0; x < dib.width(); ++x, source += 4, target += 4) {
            target[0] = source[0];
            target[1] = source[1];
            target[2] = source[2];
            target[3] = keepAlpha ? source[3] : 0xFF;
        }
    }
}

// ERROR_SUCCESS, or why not: 8 when the palette cannot be copied, 87 when GDI+ refuses it.
DWORD givePalette(const Dib& dib, Gdiplus::Bitmap* bitmap)
{
    PaletteBlock block(bitmap);
    if (!block.palette)
        return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER;
    const RGBQUAD* table = dib.getColorTable();
    UINT colors = table ? dib.colorCount() : 0;
    for (UINT i = 0; i < block.palette->Count; ++i) {
        RGBQUAD color = i < colors ? table[i] : RGBQUAD{0, 0, 0, 0};
        block.palette->Entries[i] = Gdiplus::Color::MakeARGB(0xFF, color.rgbRed, color.rgbGreen, color.rgbBlue);
    }
    return bitmap->SetPalette(block.palette) == Gdiplus::Ok ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

bool drawOnDib(Gdiplus::Image* image, Dib& dib)
{
    HDC dc = dib.getDC();
    Gdiplus::Status status;
    {
        Gdiplus::Graphics graphics(dc);
        status = graphics.DrawImage(image, 0, 0, dib.width(), dib.height());
    }
    dib.releaseDC();
    GdiFlush();
    return status == Gdiplus::Ok;
}

// The indices are copied as they are: GDI's own mapping of colours onto a palette looks at 5 bits a channel
// and would merge palette colours that lie close together. Only bitmaps have indexed formats.
Dib* indexedDib(Gdiplus::Image* image, int width, int height, int bitCount)
{
    if (image->GetType() != Gdiplus::ImageTypeBitmap)
        return nullptr;
    std::unique_ptr<Dib> dib(new Dib());
    if (!dib->create(width, height, bitCount, RGB(0, 0, 0)))
        return nullptr;
    PaletteBlock block(image);
    if (!block.palette)
        return nullptr;
    PALETTEENTRY entries[256] = {};
    UINT count = std::min<UINT>(block.palette->Count, 256);
    for (UINT i = 0; i < count; ++i) {
        Gdiplus::Color color(block.palette->Entries[i]);
        entries[i] = PALETTEENTRY{color.GetR(), color.GetG(), color.GetB(), 0};
    }
    if (!dib->setColorTable(entries))
        return nullptr;
    BitmapLock lock(static_cast<Gdiplus::Bitmap*>(image), Gdiplus::ImageLockModeRead, image->GetPixelFormat());
    if (!lock.isLocked())
        return nullptr;
    GdiFlush();
    int rowBytes = std::min(dib->stride(), std::abs(lock.data.Stride));
    for (int y = 0; y < height; ++y)
        CopyMemory(dibRowOf(*dib, y), lock.row(y), rowBytes);
    return dib.release();
}

// GDI+ blends a translucent picture as it draws: the colours are taken from the bitmap itself instead.
bool copyBitmapPixels32(Gdiplus::Bitmap* bitmap, Dib& dib)
{
    BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return false;
    for (int y = 0; y < dib.height(); ++y) {
        BYTE* target = dibRowOf(dib, y);
        CopyMemory(target, lock.row(y), dib.width() * 4);
        for (int x = 0; x < dib.width(); ++x)
            target[x * 4 + 3] = 0xFF;
    }
    return true;
}

} // namespace

Gdiplus::Bitmap* dibToGdiplusBitmap(const Dib& dib, bool keepAlpha)
{
    Gdiplus::PixelFormat format = pixelFormatOfDepth(dib.bitCount());
    if (format == PixelFormatUndefined)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(createBitmap(dib.width(), dib.height(), format));
    if (!bitmap)
        return nullptr;
    GdiFlush();
    if (dib.bitCount() == 32) {
        BitmapLock lock(bitmap.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
        if (!lock.isLocked())
            return nullptr;
        copyDib32(dib, lock, keepAlpha);
        return bitmap.release();
    }
    // Without its palette the picture would come out in other colours.
    if (dib.bitCount() <= 8) {
        DWORD error = givePalette(dib, bitmap.get());
        if (error != ERROR_SUCCESS) {
            bitmap.reset();
            SetLastError(error);
            return nullptr;
        }
    }
    BitmapLock lock(bitmap.get(), Gdiplus::ImageLockModeWrite, format);
    if (!lock.isLocked())
        return nullptr;
    int rowBytes = std::min(dib.stride(), std::abs(lock.data.Stride));
    for (int y = 0; y < dib.height(); ++y)
        CopyMemory(lock.row(y), dibRowOf(dib, y), rowBytes);
    return bitmap.release();
}

bool hasAlphaBytes(const Dib& dib)
{
    if (dib.bitCount() != 32)
        return false;
    GdiFlush();
    const BYTE* bits = dib.getBits();
    for (int i = 3; i < dib.imageSize(); i += 4)
        if (bits[i] != 0)
            return true;
    return false;
}

Dib* gdiplusBitmapToDib(Gdiplus::Image* image)
{
    if (!image || image->GetType() == Gdiplus::ImageTypeUnknown)
        return nullptr;
    int width = static_cast<int>(image->GetWidth());
    int height = static_cast<int>(image->GetHeight());
    int sourceBits = bitsPerPixel(image->GetPixelFormat());
    if (sourceBits <= 8)
        return indexedDib(image, width, height, sourceBits);
    int bitCount = sourceBits <= 16 ? 16 : sourceBits <= 24 ? 24 : 32;
    std::unique_ptr<Dib> dib(new Dib());
    if (!dib->create(width, height, bitCount, RGB(0, 0, 0)) || !drawOnDib(image, *dib))
        return nullptr;
    if (bitCount == 32 && image->GetType() == Gdiplus::ImageTypeBitmap &&
        !copyBitmapPixels32(static_cast<Gdiplus::Bitmap*>(image), *dib))
        return nullptr;
    return dib.release();
}

bool drawDibScaled(const Dib& source, Dib& target, int width, int height)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(dibToGdiplusBitmap(source, false));
    std::unique_ptr<Gdiplus::Bitmap> padded(bitmap ? padBitmapMirrored(bitmap.get()) : nullptr);
    if (!padded || !target.copyRegionScaled(source, 1.0, 0, 0, width, height)) {
        target.reallocInfo(0);
        return false;
    }
    Gdiplus::Status status;
    {
        Gdiplus::Graphics graphics(target.getDC());
        Gdiplus::Rect area(0, 0, width, height);
        status = graphics.DrawImage(padded.get(), area, 5, 5, source.width(), source.height(), Gdiplus::UnitPixel);
    }
    target.releaseDC();
    if (status != Gdiplus::Ok) {
        target.reallocInfo(0);
        return false;
    }
    return true;
}
