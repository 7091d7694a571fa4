// The BMP file and packed-DIB side of Dib: reading, with every size checked before it is used, and writing.
#include "imaging/Dib.h"
#include <climits>
#include "foundation/ComMemoryStream.h"
#include "foundation/File.h"
#include "foundation/FileHandle.h"
#include "foundation/ScratchBuffer.h"
#include "imaging/RunLengthScan.h"

namespace {

static_assert(sizeof(BITMAPFILEHEADER) == 14, "the BMP file header is 14 bytes on disk");

constexpr WORD BmpSignature = 0x4D42; // "BM"
// Files beyond this cannot be held in one block of the allocator.
constexpr LONGLONG MaxFileBytes = INT_MAX - 64;
// Headers of this size and more hold the colour masks themselves; from the next size on, an alpha mask too.
constexpr DWORD HeaderWithMasks = 52;
constexpr DWORD HeaderWithAlphaMask = 56;
constexpr DWORD MaskBytes = 3 * sizeof(DWORD);

struct BitFieldMasks {
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha;
};

// The masks of a BI_BITFIELDS picture: after a plain header, or inside a larger one.
BitFieldMasks masksOf(const BYTE* data, const BITMAPINFOHEADER& header)
{
    DWORD values[4] = {};
    DWORD offset = header.biSize < HeaderWithMasks ? header.biSize : sizeof(BITMAPINFOHEADER);
    CopyMemory(values, data + offset, (header.biSize >= HeaderWithAlphaMask ? 4 : 3) * sizeof(DWORD));
    return BitFieldMasks{values[0], values[1], values[2], values[3]};
}

// The masks that a section of the depth is made with (Dib::create), which every reader takes alike.
bool areSectionMasks(const BitFieldMasks& masks, WORD bitCount)
{
    if (masks.alpha != 0)
        return false;
    if (bitCount == 16)
        return masks.red == 0x7C00 && masks.green == 0x03E0 && masks.blue == 0x001F;
    return masks.red == 0xFF0000 && masks.green == 0x00FF00 && masks.blue == 0x0000FF;
}

// One channel of a bit-field pixel: its bits, scaled to 8 bits over the full range (the largest value the
// mask holds becomes 255), rounded to the nearest.
class FieldChannel {
public:
    // False with last error 87 for a mask whose bits are not contiguous, 8 without memory. A zero mask gives
    // 0 for every pixel.
    bool setMask(DWORD channelMask)
    {
        scaled.release();
        mask = channelMask;
        shift = 0;
        largest = 0;
        if (mask == 0)
            return true;
        while (!(mask >> shift & 1))
            ++shift;
        largest = mask >> shift;
        if ((largest & (largest + 1)) != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        // Up to 16 bits a channel, a table; wider channels are rare enough to be divided pixel by pixel.
        if (largest >= TableLimit)
            return true;
        if (!scaled.allocate(static_cast<LONGLONG>(largest) + 1))
            return false;
        for (DWORD field = 0; field <= largest; ++field)
            scaled[static_cast<int>(field)] = scale(field);
        return true;
    }

    BYTE valueOf(DWORD pixel) const
    {
        DWORD field = (pixel & mask) >> shift;
        return scaled.get() ? scaled[static_cast<int>(field)] : scale(field);
    }

private:
    static constexpr DWORD TableLimit = 1 << 16;

    BYTE scale(DWORD field) const
    {
        if (largest == 0)
            return 0;
        return static_cast<BYTE>((field * 510ULL + largest) / (2ULL * largest));
    }

    DWORD mask = 0;
    int shift = 0;
    DWORD largest = 0;
    ScratchBuffer<BYTE> scaled;
};

bool isValidHandle(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

bool writeAll(IStream* stream, const void* data, DWORD bytes)
{
    ULONG written = 0;
    return SUCCEEDED(stream->Write(data, bytes, &written)) && written == bytes;
}

bool readAll(IStream* stream, void* data, DWORD bytes, DWORD& read)
{
    ULONG got = 0;
    HRESULT result = stream->Read(data, bytes, &got);
    read = got;
    return SUCCEEDED(result);
}

} // namespace

bool Dib::loadBmpFile(HANDLE file)
{
    if (!isValidHandle(file)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_HANDLE);
    }
    FileHandle closer(file);
    LARGE_INTEGER size;
    BITMAPFILEHEADER header;
    DWORD read = 0;
    if (!GetFileSizeEx(file, &size) || !ReadFile(file, &header, sizeof(header), &read, nullptr))
        return releaseAfterFailure();
    if (read < sizeof(header) || header.bfType != BmpSignature || size.QuadPart <= LONGLONG(sizeof(header)) ||
        header.bfOffBits < sizeof(header)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (size.QuadPart > MaxFileBytes) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    auto rest = static_cast<DWORD>(size.QuadPart - sizeof(header));
    ScratchBuffer<BYTE> block(rest);
    if (!block.get())
        return releaseAfterFailure();
    if (!ReadFile(file, block.get(), rest, &read, nullptr))
        return releaseAfterFailure();
    return loadBmpImage(block.get(), read, header.bfOffBits - sizeof(header));
}

bool Dib::loadPackedDib(const BITMAPINFO* packed, DWORD bytes)
{
    if (!packed || bytes < sizeof(BITMAPINFOHEADER) || !isValidHeader(packed->bmiHeader) ||
        packedInfoBytes(packed->bmiHeader) > bytes) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    // The pixels follow the masks and the colour table; masks inside a V4 or V5 header take no room of their own.
    auto pixelOffset = static_cast<DWORD>(packedInfoBytes(packed->bmiHeader));
    return loadBmpImage(reinterpret_cast<const BYTE*>(packed), bytes, pixelOffset);
}

bool Dib::isSoundBmpImage(const BITMAPINFOHEADER& header, LONGLONG bytes, LONGLONG pixelOffset)
{
    return header.biPlanes == 1 && isValidHeader(header) && packedInfoBytes(header) <= pixelOffset &&
           pixelOffset <= bytes && packedPixelBytes(header) <= bytes - pixelOffset;
}

// `data` holds the info block and the pixels in `bytes` bytes.
bool Dib::loadBmpImage(const BYTE* data, DWORD bytes, DWORD pixelOffset)
{
    auto packed = reinterpret_cast<const BITMAPINFO*>(data);
    if (bytes < sizeof(BITMAPINFOHEADER) || !isValidHeader(packed->bmiHeader)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    const BITMAPINFOHEADER& header = packed->bmiHeader;
    // A run-length stream that stops inside the picture is refused before a section of its full size is made.
    if (!isSoundBmpImage(header, bytes, pixelOffset) ||
        (RunLengthScan::isRunLength(header) &&
         !RunLengthScan::isWholeStream(header, data + pixelOffset, header.biSizeImage))) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (header.biCompression == BI_BITFIELDS && !areSectionMasks(masksOf(data, header), header.biBitCount))
        return loadBitFields(data, pixelOffset);
    // GDI looks for the masks after the header whatever its size: the transfer gets a plain header followed by
    // the masks and the colour table.
    BITMAPINFOHEADER plain = header;
    plain.biSize = sizeof(BITMAPINFOHEADER);
    ScratchBuffer<BYTE> info(blockInfoSize(plain));
    if (!info.get())
        return releaseAfterFailure();
    CopyMemory(info.get(), &plain, sizeof(plain));
    BYTE* after = info.get() + sizeof(plain);
    if (header.biCompression == BI_BITFIELDS) {
        BitFieldMasks masks = masksOf(data, header);
        CopyMemory(after, &masks, MaskBytes);
        after += MaskBytes;
    }
    DWORD tableBytes = 4 * colorCountOf(&header);
    CopyMemory(after, data + packedInfoBytes(header) - tableBytes, tableBytes);
    auto transfer = reinterpret_cast<const BITMAPINFO*>(info.get());
    if (!createFromInfo(transfer, RGB(0, 0, 0)))
        return false;
    // The file's own header describes the pixels: top-down and RLE files become plain bottom-up sections.
    int lines = SetDIBitsToDevice(getDC(), 0, 0, width(), height(), 0, 0, 0, height(), data + pixelOffset, transfer,
                                  DIB_RGB_COLORS);
    releaseDC();
    if (lines > 0)
        return true;
    // Pixels that GDI refuses are malformed data.
    reallocInfo(0);
    return fail(ERROR_INVALID_PARAMETER);
}

// Bit-field pixels of any masks, decoded here: GDI and the platform's picture decoders read some layouts
// wrongly (masks of other orders or widths, alpha). The picture becomes a 32-bit section with the usual
// masks; the fourth bytes hold the alpha when the picture has an alpha mask, and are 0 otherwise.
bool Dib::loadBitFields(const BYTE* data, DWORD pixelOffset)
{
    const auto& header = reinterpret_cast<const BITMAPINFO*>(data)->bmiHeader;
    BitFieldMasks masks = masksOf(data, header);
    FieldChannel red, green, blue, alpha;
    if (!red.setMask(masks.red) || !green.setMask(masks.green) || !blue.setMask(masks.blue) ||
        !alpha.setMask(masks.alpha))
        return releaseAfterFailure();
    int pictureWidth = header.biWidth;
    auto rows = static_cast<int>(header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight);
    bool topDown = header.biHeight < 0;
    WORD sourceBits = header.biBitCount;
    if (!create(pictureWidth, rows, 32, RGB(0, 0, 0)))
        return releaseAfterFailure();
    GdiFlush();
    int sourceStride = stride(pictureWidth, sourceBits);
    int targetStride = stride();
    for (int row = 0; row < rows; ++row) {
        const BYTE* source = data + pixelOffset + static_cast<INT_PTR>(row) * sourceStride;
        BYTE* target = bits + static_cast<INT_PTR>(topDown ? rows - 1 - row : row) * targetStride;
        for (int x = 0; x < pictureWidth; ++x, target += 4) {
            DWORD pixel;
            if (sourceBits == 16) {
                pixel = source[0] | source[1] << 8;
                source += 2;
            } else {
                pixel = source[0] | source[1] << 8 | source[2] << 16 | static_cast<DWORD>(source[3]) << 24;
                source += 4;
            }
            target[0] = blue.valueOf(pixel);
            target[1] = green.valueOf(pixel);
            target[2] = red.valueOf(pixel);
            target[3] = alpha.valueOf(pixel);
        }
    }
    return true;
}

bool Dib::loadFromStream(IStream* stream)
{
    if (!stream)
        return fail(ERROR_INVALID_PARAMETER);
    LARGE_INTEGER start = {};
    ULARGE_INTEGER end = {};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) || FAILED(stream->Seek(start, STREAM_SEEK_END, &end)) ||
        FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) || end.QuadPart > ULONGLONG(MaxFileBytes)) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    auto size = static_cast<DWORD>(end.QuadPart);
    BITMAPFILEHEADER header = {};
    DWORD read = 0;
    if (size <= sizeof(header) || !readAll(stream, &header, sizeof(header), read) || read < sizeof(header) ||
        header.bfType != BmpSignature || header.bfOffBits < sizeof(header)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    // The rest in a block of its own keeps the info header aligned.
    ScratchBuffer<BYTE> block(size - sizeof(header));
    if (!block.get() || !readAll(stream, block.get(), size - sizeof(header), read)) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    return loadBmpImage(block.get(), read, header.bfOffBits - sizeof(header));
}

bool Dib::saveBmpFile(HANDLE file)
{
    if (!isValidHandle(file))
        return fail(ERROR_INVALID_HANDLE);
    FileHandle closer(file);
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    GdiFlush();
    BITMAPFILEHEADER header = fileHeader();
    return File::writeAll(file, &header, sizeof(header)) && File::writeAll(file, info, infoSize()) &&
           File::writeAll(file, bits, imageSize()) && FlushFileBuffers(file);
}

IStream* Dib::toStream() const
{
    if (!info) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    IStream* stream = ComMemoryStream::create();
    if (!stream)
        return nullptr;
    GdiFlush();
    BITMAPFILEHEADER header = fileHeader();
    if (!writeAll(stream, &header, sizeof(header)) || !writeAll(stream, info, infoSize()) ||
        !writeAll(stream, bits, imageSize())) {
        stream->Release();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return stream;
}

BITMAPFILEHEADER Dib::fileHeader() const
{
    BITMAPFILEHEADER header = {};
    header.bfType = BmpSignature;
    header.bfSize = sizeof(header) + infoSize() + imageSize();
    header.bfOffBits = sizeof(header) + infoSize();
    return header;
}
