#include "imaging/pictureLoading.h"
#include <cstring>
#include <memory>
#include <new>
#include <vector>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapCopy.h"
#include "imaging/ComStream.h"
#include "imaging/DibConversion.h"
#include "imaging/GdipImage.h"
#include "imaging/GdipImageWithWIC.h"
#include "imaging/SusiePlugin.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicEncodeProperties.h"
#include "imaging/gdipImageIO.h"
#include "imaging/pictureProbe.h"
#include "imaging/wicDecode.h"
#include "imaging/wicEncode.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

HANDLE openForReading(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file's bytes, read once for all the decoders that look at them.
class FileBytes {
public:
    explicit FileBytes(const wchar_t* path)
    {
        FileHandle file(openForReading(path));
        if (file.isValid())
            bytes = readFileBytes(file.get(), size);
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { MemoryAllocator::free(bytes); }

    // A stream of its own for each decoder, so that one's reading never moves another's position; null when the
    // file could not be read.
    IStream* newStream() const
    {
        if (!bytes)
            return nullptr;
        try {
            return createMemoryStream(bytes, size);
        } catch (const Exception&) {
            return nullptr;
        }
    }

private:
    void* bytes = nullptr;
    DWORD size = 0;
};

Gdiplus::Bitmap* gdipLoadFile(const wchar_t* path)
{
    FileHandle file(openForReading(path));
    return file.isValid() ? gdipLoadFromFileHandle(file.get()) : nullptr;
}

// The plug-ins' picture as a GDI+ bitmap. A 32-bit picture whose fourth bytes are all 0 is opaque.
Gdiplus::Bitmap* pluginBitmap(const wchar_t* path)
{
    Dib dib;
    if (!loadWithPlugins(path, dib))
        return nullptr;
    return dibToGdiplusBitmap(dib, hasAlphaBytes(dib));
}

// Frame 0 of the file, read by WIC; false when WIC cannot read it. Only the headers are read here: the pixels
// are decoded when someone copies them.
bool openFirstFrame(const FileBytes& contents, ComPtr<IWICBitmapFrameDecode>& frame, GUID& container)
{
    ComPtr<IStream> stream(contents.newStream());
    if (!stream)
        return false;
    try {
        WIC::BitmapDecoder decoder;
        decoder.openStream(stream.get());
        container = decoder.containerFormat();
        frame.attach(decoder.frame(0));
        return frame.get() != nullptr;
    } catch (const Exception&) {
        return false;
    }
}

// What WIC adds to a load: the picture itself when GDI+ could not read it, with the depth that WIC decoded
// (`decodedBits`, left alone otherwise), the resolution and a JPEG's metadata. True when a metadata block reader
// was handed out.
bool takeFromWic(const FileBytes& contents, std::unique_ptr<Gdiplus::Bitmap>& loaded, WORD& decodedBits,
                 IWICMetadataBlockReader** reader, Decimal* dpiX, Decimal* dpiY)
{
    ComPtr<IWICBitmapFrameDecode> decoded;
    GUID container = GUID_NULL;
    if (!openFirstFrame(contents, decoded, container))
        return false;
    WIC::BitmapFrameDecode frame(decoded.get(), false);
    if (!loaded) {
        decodedBits = static_cast<WORD>(frame.bitsPerPixel());
        loaded.reset(wicToGdiplusBitmap(frame));
    }
    if (dpiX)
        *dpiX = Decimal(frame.dpiX());
    if (dpiY)
        *dpiY = Decimal(frame.dpiY());
    if (!reader || !IsEqualGUID(container, GUID_ContainerFormatJpeg))
        return false;
    try {
        frame.queryInterface(WIC::IID_IWICMetadataBlockReader, reinterpret_cast<void**>(reader));
    } catch (const Exception&) {
        *reader = nullptr;
    }
    return *reader != nullptr;
}

// Why a copy could not be made: memory, or a picture that GDI+ failed to decode once asked for its pixels.
[[noreturn]] void throwCopyFailure(Gdiplus::Bitmap* loaded)
{
    if (loaded->GetLastStatus() == Gdiplus::OutOfMemory)
        throw Exception(ErrorCode::NoMemory);
    throw Exception(ERROR_INVALID_DATA);
}

// A copy of the bitmap in a GdipImage; null when none can be made.
IImage* holdClone(Gdiplus::Bitmap* bitmap)
{
    std::unique_ptr<GdipImage> image(new (std::nothrow) GdipImage(bitmap));
    if (!image || image->isEmpty())
        return nullptr;
    return image.release();
}

// Rows of the frame in 32bppBGRA straight into a 32-bit Dib: an encoder on the way might not keep the alpha.
bool copyBgraToDib(const WIC::BitmapSource& frame, Dib& dib)
{
    WIC::BitmapSource pixels(wicConvertPixelFormat(frame, GUID_WICPixelFormat32bppBGRA), true);
    UINT width = pixels.width();
    UINT height = pixels.height();
    if (!dib.create(static_cast<int>(width), static_cast<int>(height), 32, 0))
        return false;
    auto stride = static_cast<UINT>(dib.stride());
    BYTE* bits = dib.getBits();
    Exception::check(pixels.get()->CopyPixels(nullptr, stride, stride * height, bits));
    // WIC hands the rows top first; a Dib keeps them bottom up.
    std::vector<BYTE> swap(stride);
    for (UINT top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        BYTE* upper = bits + static_cast<size_t>(top) * stride;
        BYTE* lower = bits + static_cast<size_t>(bottom) * stride;
        std::memcpy(swap.data(), upper, stride);
        std::memcpy(upper, lower, stride);
        std::memcpy(lower, swap.data(), stride);
    }
    return true;
}

// The frame in its own depth, through a BMP in memory.
bool loadAsBmp(const WIC::BitmapSource& frame, Dib& dib)
{
    try {
        ComPtr<IStream> bmp(wicEncodeSourceToStream(GUID_ContainerFormatBmp, frame, GUID_WICPixelFormatDontCare,
                                                    WIC::EncodeProperties(), nullptr));
        return dib.loadFromStream(bmp.get());
    } catch (const Exception&) {
        return false;
    }
}

bool loadDibThroughWic(const wchar_t* path, Dib& dib)
{
    try {
        WIC::BitmapFrameDecode frame(wicOpenFrame(path, 0, nullptr), true);
        if (frame.bitsPerPixel() >= 32 || hasTranslucentPalette(frame))
            return copyBgraToDib(frame, dib);
        if (loadAsBmp(frame, dib))
            return true;
        // Depths that a BMP cannot hold (grey, 2 bits per pixel) come as 32 bits.
        return copyBgraToDib(frame, dib);
    } catch (const Exception&) {
        // Never a picture half filled by a decoder that gave up.
        dib.reallocInfo(0);
        return false;
    }
}

} // namespace

bool loadWithPlugins(const wchar_t* path, Dib& dib)
{
    dib.reallocInfo(0);
    if (!path)
        return false;
    SusiePlugin host;
    host.paths.addAll(getAppSetting().spiPaths);
    return host.load(path, dib) >= 0;
}

Gdiplus::Bitmap* loadBitmap(const wchar_t* path, IWICMetadataBlockReader** reader, WORD* bits, Decimal* dpiX,
                            Decimal* dpiY)
{
    if (!path)
        return nullptr;
    // The file is read once; GDI+ and WIC decode from the same bytes.
    FileBytes contents(path);
    ComPtr<IStream> stream(contents.newStream());
    std::unique_ptr<Gdiplus::Bitmap> loaded(stream ? gdipBitmapFromStream(stream.get()) : nullptr);
    bool handedOut = false;
    WORD decodedBits = 0;
    // WIC has nothing to add to a picture that GDI+ read for a caller who wants neither resolution nor metadata.
    if (!loaded || reader || dpiX || dpiY)
        handedOut = takeFromWic(contents, loaded, decodedBits, reader, dpiX, dpiY);
    try {
        if (!loaded)
            loaded.reset(pluginBitmap(path));
        if (!loaded)
            return nullptr;
        if (bits && decodedBits) {
            *bits = decodedBits;
        } else if (bits) {
            *bits = static_cast<WORD>(bitsPerPixel(loaded->GetPixelFormat()));
            // The conversion writes a picture back in its source's depth: a grey PNG that GDI+ widened to 32
            // bits comes back as RGB, not with an alpha channel it never had.
            getPngBitDepth(path, loaded.get(), *bits);
        }
        Gdiplus::Bitmap* copy = copyBitmap32(loaded.get());
        if (!copy)
            throwCopyFailure(loaded.get());
        return copy;
    } catch (const Exception&) {
        if (handedOut) {
            (*reader)->Release();
            *reader = nullptr;
        }
        throw;
    }
}

bool loadDib(const wchar_t* path, Dib& dib)
{
    if (isSelfReadBmpFile(path) && dib.loadBmpFile(openForReading(path)))
        return true;
    if (loadDibThroughWic(path, dib))
        return true;
    return loadWithPlugins(path, dib);
}

IImage* loadImage(const wchar_t* path, bool previewOnly, HWND window, UINT message)
{
    if (!path)
        return nullptr;
    {
        std::unique_ptr<Gdiplus::Bitmap> bitmap(gdipLoadFile(path));
        // Kept as decoded, with every frame of an animation.
        if (bitmap)
            return new (std::nothrow) GdipImage(std::move(bitmap));
    }
    try {
        std::unique_ptr<GdipImageWithWIC> image(new GdipImageWithWIC());
        bool opened = previewOnly ? image->open(path, 0, nullptr, 0, false, true)
                                  : image->open(path, 0, window, message, window != nullptr, false);
        if (opened)
            return image.release();
    } catch (const Exception&) {
        // Passed on to the plug-ins.
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(pluginBitmap(path));
    return bitmap ? holdClone(bitmap.get()) : nullptr;
}
