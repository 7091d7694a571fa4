#include "imaging/BitmapCopy.h"
#include <climits>
#include <cstring>
#include <memory>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapLock.h"
#include "imaging/PictureSizeLimit.h"

namespace {

// The pixels of a BlockBitmap. A base of its own so that they are freed only after GDI+ has let go of them.
class PixelBlock {
protected:
    explicit PixelBlock(LONGLONG bytes)
        : bits(bytes <= INT_MAX ? static_cast<BYTE*>(MemoryAllocator::alloc(static_cast<int>(bytes))) : nullptr)
    {
    }
    PixelBlock(const PixelBlock&) = delete;
    PixelBlock& operator=(const PixelBlock&) = delete;
    ~PixelBlock() { MemoryAllocator::free(bits); }

    BYTE* bits;
};

// A 32-bit ARGB bitmap whose pixels live in a block of the library allocator, which keeps the memory of large
// pictures for the next ones: the working copies of a batch are written at memory speed instead of paying for
// fresh pages each time. Without a block GDI+ allocates the pixels itself.
class BlockBitmap : private PixelBlock, public Gdiplus::Bitmap {
public:
    BlockBitmap(int width, int height)
        : PixelBlock(4LL * width * height), Gdiplus::Bitmap(width, height, bits ? width * 4 : 0, PixelFormat32bppARGB,
                                                            bits)
    {
    }
};

// The formats whose rows are widened here. GDI+ converts any other while locking, pixel by pixel through the
// format's accessors, which for a large picture costs about as much as decoding it.
enum class RowKind { Rgb24, Rgb32, Argb32, Converted };

RowKind rowKindOf(Gdiplus::PixelFormat format)
{
    switch (format) {
    case PixelFormat24bppRGB:
        return RowKind::Rgb24;
    case PixelFormat32bppRGB:
        return RowKind::Rgb32;
    case PixelFormat32bppARGB:
        return RowKind::Argb32;
    default:
        return RowKind::Converted;
    }
}

// Four pixels from three whole words at a time, instead of byte by byte.
void widenRgb24(const BYTE* source, UINT32* target, int count)
{
    constexpr UINT32 Opaque = 0xFF000000u;
    int i = 0;
    for (; i + 4 <= count; i += 4, source += 12) {
        UINT32 words[3];
        std::memcpy(words, source, 12);
        target[i] = Opaque | (words[0] & 0xFFFFFF);
        target[i + 1] = Opaque | words[0] >> 24 | (words[1] & 0xFFFF) << 8;
        target[i + 2] = Opaque | words[1] >> 16 | (words[2] & 0xFF) << 16;
        target[i + 3] = Opaque | words[2] >> 8;
    }
    for (; i < count; ++i, source += 3)
        target[i] = Opaque | source[0] | static_cast<UINT32>(source[1]) << 8 | static_cast<UINT32>(source[2]) << 16;
}

void widenRow(RowKind kind, const BYTE* source, UINT32* target, int count)
{
    switch (kind) {
    case RowKind::Rgb24:
        widenRgb24(source, target, count);
        return;
    case RowKind::Rgb32:
        for (int i = 0; i < count; ++i)
            target[i] = reinterpret_cast<const UINT32*>(source)[i] | 0xFF000000u;
        return;
    default:
        std::memcpy(target, source, static_cast<size_t>(count) * 4);
        return;
    }
}

} // namespace

Gdiplus::Bitmap* createBitmap(int width, int height, Gdiplus::PixelFormat format)
{
    if (width < 1 || height < 1 || !PictureSizeLimit::check(width, height, bitsPerPixel(format)))
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        format == PixelFormat32bppARGB ? new BlockBitmap(width, height) : new Gdiplus::Bitmap(width, height, format));
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
    RowKind kind = rowKindOf(image->GetPixelFormat());
    Gdiplus::PixelFormat lockFormat = kind == RowKind::Converted ? PixelFormat32bppARGB : image->GetPixelFormat();
    BitmapLock source(static_cast<Gdiplus::Bitmap*>(image), rows, Gdiplus::ImageLockModeRead, lockFormat);
    Gdiplus::Rect placed(part.X - x, part.Y - y, part.Width, part.Height);
    BitmapLock target(copy.get(), placed, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!source.isLocked() || !target.isLocked())
        return nullptr;
    int bytesPerPixel = kind == RowKind::Rgb24 ? 3 : 4;
    for (int row = 0; row < part.Height; ++row)
        widenRow(kind, source.row(row) + part.X * bytesPerPixel, target.pixels(row), part.Width);
    return copy.release();
}
