// The BMP file and packed-DIB side of Dib: reading, with every size checked before it is used, and writing.
#include "imaging/Dib.h"
#include <climits>
#include "foundation/FileHandle.h"
#include "foundation/ScratchBuffer.h"

namespace {

static_assert(sizeof(BITMAPFILEHEADER) == 14, "the BMP file header is 14 bytes on disk");

constexpr WORD BmpSignature = 0x4D42; // "BM"
// Loaded files get this many zero bytes after their data: the info block of a section always reserves
// room for the three BI_BITFIELDS masks, also where a larger header already holds them.
constexpr DWORD Slack = 3 * sizeof(DWORD);
// Files beyond this cannot be held in one block of the allocator.
constexpr LONGLONG MaxFileBytes = INT_MAX - 64;

bool isValidHandle(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, const void* data, DWORD bytes)
{
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
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
    ScratchBuffer<BYTE> block(rest + Slack);
    if (!block.get())
        return releaseAfterFailure();
    if (!ReadFile(file, block.get(), rest, &read, nullptr))
        return releaseAfterFailure();
    return loadBmpImage(block.get(), read, Slack, header.bfOffBits - sizeof(header));
}

bool Dib::loadPackedDib(const BITMAPINFO* packed, DWORD bytes)
{
    if (!packed || bytes < sizeof(BITMAPINFOHEADER) || !isValidHeader(packed->bmiHeader)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    return loadBmpImage(reinterpret_cast<const BYTE*>(packed), bytes, 0, blockInfoSize(packed->bmiHeader));
}

// `data` holds the info block and the pixels in `bytes` bytes, followed by `slack` zero bytes.
bool Dib::loadBmpImage(const BYTE* data, DWORD bytes, DWORD slack, DWORD pixelOffset)
{
    auto packed = reinterpret_cast<const BITMAPINFO*>(data);
    if (bytes < sizeof(BITMAPINFOHEADER) || !isValidHeader(packed->bmiHeader)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    const BITMAPINFOHEADER& header = packed->bmiHeader;
    bool fits = packedInfoBytes(header) <= pixelOffset && pixelOffset <= bytes &&
                packedPixelBytes(header) <= LONGLONG(bytes - pixelOffset) &&
                LONGLONG(blockInfoSize(header)) <= LONGLONG(bytes) + slack;
    if (!fits) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (!createFromInfo(packed, RGB(0, 0, 0)))
        return false;
    // The file's own header describes the pixels: top-down and RLE files become plain bottom-up sections.
    int lines = SetDIBitsToDevice(getDC(), 0, 0, width(), height(), 0, 0, 0, height(), data + pixelOffset, packed,
                                  DIB_RGB_COLORS);
    releaseDC();
    return lines > 0 || releaseAfterFailure();
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
    if (size <= sizeof(BITMAPFILEHEADER)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    ScratchBuffer<BYTE> block(size);
    DWORD read = 0;
    if (!block.get() || !readAll(stream, block.get(), size, read)) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (read <= sizeof(BITMAPFILEHEADER) || reinterpret_cast<const BITMAPFILEHEADER*>(block.get())->bfType != BmpSignature) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    // A packed DIB follows the file header: the pixels come right after the info block, whatever the
    // header's offset field says. The copy keeps the info header aligned.
    DWORD packedBytes = read - sizeof(BITMAPFILEHEADER);
    ScratchBuffer<BYTE> packed(packedBytes);
    if (!packed.get()) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    CopyMemory(packed.get(), block.get() + sizeof(BITMAPFILEHEADER), packedBytes);
    return loadPackedDib(reinterpret_cast<const BITMAPINFO*>(packed.get()), packedBytes);
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
    return writeAll(file, &header, sizeof(header)) && writeAll(file, info, infoSize()) &&
           writeAll(file, bits, imageSize()) && FlushFileBuffers(file);
}

IStream* Dib::toStream() const
{
    if (!info) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
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
