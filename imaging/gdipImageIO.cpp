#include "imaging/gdipImageIO.h"
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include "foundation/ComMemoryStream.h"
#include "foundation/Exception.h"
#include "foundation/MemPtr.h"
#include "imaging/ComStream.h"
#include "imaging/Dib.h"
#include "imaging/DibConversion.h"
#include "imaging/GdiplusEncoder.h"
#include "imaging/pictureClaims.h"

namespace {

constexpr WORD BmpSignature = 0x4D42; // "BM"
constexpr LONGLONG MaxFileBytes = 0x7FFFFFFF;

struct StreamReleaser {
    void operator()(IStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, StreamReleaser>;

bool rewind(IStream* stream)
{
    LARGE_INTEGER start = {};
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr));
}

// The whole stream from its start, which is where it is left; false when it cannot be read or held.
bool readStreamBytes(IStream* stream, std::vector<BYTE>& bytes)
{
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > static_cast<ULONGLONG>(MaxFileBytes) ||
        !rewind(stream))
        return false;
    try {
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    ULONG read = 0;
    return bytes.empty() ||
           (SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) && read == bytes.size());
}

// A copy of the picture that carries the items, for the encoder to write. The copy is decoded from a
// lossless encoding, so the real encoder compresses the pixels only once, with the caller's parameters.
Gdiplus::Bitmap* copyWithPropertyItems(Gdiplus::Image* image, const Gdiplus::PropertyItem* items, int itemCount)
{
    CLSID png;
    if (getEncoderClsid(L"image/png", &png) < 0)
        return nullptr;
    StreamPtr stream(gdipEncodeToMemoryStream(png, image, nullptr));
    if (!stream || !rewind(stream.get()))
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> copy(gdipBitmapFromStream(stream.get()));
    if (!copy)
        return nullptr;
    for (int i = 0; i < itemCount; ++i) {
        Gdiplus::Status status = copy->SetPropertyItem(&items[i]);
        if (status != Gdiplus::Ok && status != Gdiplus::PropertyNotSupported)
            return nullptr;
    }
    return copy.release();
}

// Finds the encoder and, with property items, the copy that carries them; `target` is what to encode.
bool prepareEncoding(const wchar_t* mimeType, Gdiplus::Image* image, const Gdiplus::PropertyItem* items,
                     int itemCount, CLSID& encoder, std::unique_ptr<Gdiplus::Bitmap>& carrier,
                     Gdiplus::Image*& target)
{
    if (!mimeType || !image || image->GetType() == Gdiplus::ImageTypeUnknown)
        return false;
    if (getEncoderClsid(mimeType, &encoder) < 0)
        return false;
    target = image;
    if (!items || itemCount <= 0)
        return true;
    carrier.reset(copyWithPropertyItems(image, items, itemCount));
    target = carrier.get();
    return target != nullptr;
}

// The bytes at the stream's position, which it keeps; how many were read (0 when none could be).
ULONG peekStream(IStream* stream, BYTE* bytes, ULONG count)
{
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER position = {};
    if (!stream || FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)))
        return 0;
    ULONG read = 0;
    if (FAILED(stream->Read(bytes, count, &read)))
        read = 0;
    LARGE_INTEGER back;
    back.QuadPart = static_cast<LONGLONG>(position.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    return read;
}

// The logical screen of a GIF. GDI+ gives a GIF the screen's size with the first frame at its place; Wine's
// gives the frame's own size, and the place is lost. Such a picture is left to WIC, whose frames the program
// places on the screen itself (WIC::onGifScreen).
class GifScreen {
public:
    explicit GifScreen(IStream* stream)
    {
        BYTE head[10] = {};
        if (peekStream(stream, head, sizeof(head)) < sizeof(head) || std::memcmp(head, "GIF8", 4) != 0)
            return;
        isGif = true;
        width = head[6] | head[7] << 8;
        height = head[8] | head[9] << 8;
    }

    bool lostBy(Gdiplus::Bitmap& bitmap) const
    {
        return isGif && (bitmap.GetWidth() != width || bitmap.GetHeight() != height);
    }

private:
    bool isGif = false;
    UINT width = 0;
    UINT height = 0;
};

// Encodes to a path or a stream, the two destinations GDI+ saves to.
template <typename Destination>
bool savePrepared(Destination destination, const wchar_t* mimeType, Gdiplus::Image* image,
                  const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items, int itemCount)
{
    CLSID encoder;
    std::unique_ptr<Gdiplus::Bitmap> carrier;
    Gdiplus::Image* target = nullptr;
    if (!destination || !prepareEncoding(mimeType, image, items, itemCount, encoder, carrier, target))
        return false;
    return target->Save(destination, &encoder, parameters) == Gdiplus::Ok;
}

} // namespace

bool gdipSaveToFile(const wchar_t* path, const wchar_t* mimeType, Gdiplus::Image* image,
                    const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items, int itemCount)
{
    return savePrepared(path, mimeType, image, parameters, items, itemCount);
}

bool gdipSaveToStream(IStream* stream, const wchar_t* mimeType, Gdiplus::Image* image,
                      const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items, int itemCount)
{
    return savePrepared(stream, mimeType, image, parameters, items, itemCount);
}

IStream* gdipEncodeToStream(const wchar_t* mimeType, Gdiplus::Image* image,
                            const Gdiplus::EncoderParameters* parameters, const Gdiplus::PropertyItem* items,
                            int itemCount)
{
    CLSID encoder;
    std::unique_ptr<Gdiplus::Bitmap> carrier;
    Gdiplus::Image* target = nullptr;
    if (!prepareEncoding(mimeType, image, items, itemCount, encoder, carrier, target))
        return nullptr;
    return gdipEncodeToMemoryStream(encoder, target, parameters);
}

bool gdipEncodeToBytes(const wchar_t* mimeType, Gdiplus::Image* image, std::vector<BYTE>& bytes)
{
    StreamPtr stream(gdipEncodeToStream(mimeType, image, nullptr));
    return stream && readStreamBytes(stream.get(), bytes);
}

IStream* gdipEncodeToMemoryStream(const CLSID& encoder, Gdiplus::Image* image,
                                  const Gdiplus::EncoderParameters* parameters)
{
    if (!image)
        return nullptr;
    StreamPtr stream(ComMemoryStream::create());
    if (!stream || image->Save(stream.get(), &encoder, parameters) != Gdiplus::Ok)
        return nullptr;
    return stream.release();
}

Gdiplus::Bitmap* gdipLoadFromFileHandle(HANDLE file)
{
    StreamPtr stream(readFileToStream(file));
    return stream ? gdipBitmapFromStream(stream.get()) : nullptr;
}

IStream* readFileToStream(HANDLE file)
{
    DWORD size = 0;
    VoidPtr bytes(readFileBytes(file, size));
    if (!bytes.get())
        return nullptr;
    try {
        return createMemoryStream(bytes.get(), size);
    } catch (const Exception&) {
        return nullptr;
    }
}

void* readFileBytes(HANDLE file, DWORD& size)
{
    LARGE_INTEGER fileSize;
    size = 0;
    if (!file || file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &fileSize) || fileSize.QuadPart <= 0 ||
        fileSize.QuadPart > MaxFileBytes)
        return nullptr;
    auto bytes = static_cast<DWORD>(fileSize.QuadPart);
    void* data = MemoryAllocator::alloc(static_cast<int>(bytes));
    DWORD read = 0;
    if (!data || !ReadFile(file, data, bytes, &read, nullptr) || read != bytes) {
        MemoryAllocator::free(data);
        return nullptr;
    }
    size = bytes;
    return data;
}

Gdiplus::Bitmap* gdipBitmapFromStream(IStream* stream)
{
    if (!stream || !checkPictureClaims(stream))
        return nullptr;
    GifScreen screen(stream);
    if (isSelfReadBmpStream(stream)) {
        Dib dib;
        if (!dib.loadFromStream(stream))
            return nullptr;
        std::unique_ptr<Gdiplus::Bitmap> bitmap(dibToGdiplusBitmap(dib, hasAlphaBytes(dib)));
        if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
            return nullptr;
        return bitmap.release();
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok || screen.lostBy(*bitmap))
        return nullptr;
    return bitmap.release();
}

bool isSelfReadBmpStream(IStream* stream)
{
    BYTE head[BmpHeadBytes] = {};
    ULONG read = peekStream(stream, head, sizeof(head));
    return isSelfReadBmpHead(head, read);
}

bool isSelfReadBmpHead(const BYTE* head, size_t size)
{
    if (!head || size < 34)
        return false;
    auto dword = [head](int offset) {
        return head[offset] | head[offset + 1] << 8 | head[offset + 2] << 16 |
               static_cast<DWORD>(head[offset + 3]) << 24;
    };
    WORD signature = static_cast<WORD>(head[0] | (head[1] << 8));
    WORD bitCount = static_cast<WORD>(head[28] | (head[29] << 8));
    // The old 12-byte header has neither field where these are read.
    if (signature != BmpSignature || dword(14) < sizeof(BITMAPINFOHEADER))
        return false;
    return bitCount == 32 || dword(30) == BI_BITFIELDS;
}

bool correctBmpFileSize(std::vector<BYTE>& bmp)
{
    if (bmp.size() < sizeof(BITMAPFILEHEADER) || bmp.size() > static_cast<size_t>(MaxFileBytes) || bmp[0] != 'B' ||
        bmp[1] != 'M') {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    auto size = static_cast<DWORD>(bmp.size());
    CopyMemory(bmp.data() + offsetof(BITMAPFILEHEADER, bfSize), &size, sizeof(size));
    return true;
}
