#include "imaging/wicEncode.h"
#include <cstring>
#include <memory>
#include <vector>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/BitmapLock.h"
#include "imaging/ComStream.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicFactory.h"

namespace {

bool isDontCare(const GUID& format)
{
    return std::memcmp(&format, &GUID_WICPixelFormatDontCare, sizeof(GUID)) == 0;
}

// The locked rows, top first, each exactly four bytes per pixel as the WIC bitmap takes them.
IWICBitmap* bitmapFromLockedRows(const BitmapLock& lock)
{
    auto width = static_cast<UINT>(lock.width());
    auto height = static_cast<UINT>(lock.height());
    size_t rowBytes = static_cast<size_t>(width) * 4;
    if (lock.data.Stride == static_cast<INT>(rowBytes))
        return wicCreateBitmapFromMemory(width, height, lock.row(0));
    std::vector<BYTE> rows(rowBytes * height);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(rows.data() + y * rowBytes, lock.row(static_cast<int>(y)), rowBytes);
    return wicCreateBitmapFromMemory(width, height, rows.data());
}

void writeFrame(WIC::BitmapEncoder& encoder, const WIC::BitmapSource& source, const GUID& pixelFormat,
                const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader)
{
    std::unique_ptr<WIC::BitmapFrameEncode> frame = encoder.createFrame(source.width(), source.height(), pixelFormat);
    // The options go first: the frame reads them when it is initialised, which copying metadata does.
    options.applyTo(frame.get());
    if (blockReader)
        frame->copyMetadata(blockReader);
    frame->writeSource(source);
}

} // namespace

IWICBitmap* gdiplusToWicBitmap(Gdiplus::Bitmap* bitmap, double dpiX, double dpiY)
{
    if (!bitmap || bitmap->GetType() != Gdiplus::ImageTypeBitmap)
        Exception::throwInvalidArgument();
    // Locked as ARGB whatever the bitmap holds: GDI+ converts premultiplied and alpha-less pixels, so the rows are
    // always what WIC calls 32bppBGRA.
    ComPtr<IWICBitmap> result;
    {
        BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
        if (!lock.isLocked())
            return nullptr;
        result.attach(bitmapFromLockedRows(lock));
    }
    if (dpiX > 0 && dpiY > 0)
        WIC::Bitmap(result.get(), false).setResolution(dpiX, dpiY);
    IWICBitmap* made = result.get();
    made->AddRef();
    return made;
}

IWICBitmapSource* wicConvertPixelFormat(const WIC::BitmapSource& source, const GUID& pixelFormat)
{
    ComPtr<IWICBitmapSource> pixels;
    source.queryInterface(IID_IWICBitmapSource, pixels.outVoid());
    GUID format = isDontCare(pixelFormat) ? source.pixelFormat() : pixelFormat;
    return wicCreateFormatConverter(pixels.get(), format, nullptr, 0.0, WICBitmapPaletteTypeMedianCut);
}

void wicEncodeSource(const GUID& container, const WIC::BitmapSource& source, const GUID& pixelFormat,
                     const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader,
                     const wchar_t* path, IStream* stream)
{
    if (!path && !stream)
        Exception::throwInvalidArgument();
    GUID format = pixelFormat;
    IWICBitmapSource* pixels = nullptr;
    if (isDontCare(pixelFormat)) {
        format = source.pixelFormat();
        source.queryInterface(IID_IWICBitmapSource, reinterpret_cast<void**>(&pixels));
    } else {
        pixels = wicConvertPixelFormat(source, pixelFormat);
    }
    WIC::BitmapSource input(pixels, true);
    WIC::BitmapEncoder encoder;
    if (stream)
        encoder.createOnStream(stream, container);
    else
        encoder.create(path, nullptr, container);
    try {
        writeFrame(encoder, input, format, options, blockReader);
        encoder.commit();
    } catch (...) {
        encoder.close();
        if (!stream)
            DeleteFileW(path);
        throw;
    }
}

IStream* wicEncodeSourceToStream(const GUID& container, const WIC::BitmapSource& source, const GUID& pixelFormat,
                                 const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader)
{
    OutputComStream output;
    output.create();
    wicEncodeSource(container, source, pixelFormat, options, blockReader, nullptr, output.get());
    return output.detach();
}

void wicSaveGdiplusBitmap(const wchar_t* path, const GUID& container, const GUID& pixelFormat,
                          Gdiplus::Bitmap* bitmap, const WIC::EncodeProperties& options,
                          IWICMetadataBlockReader* blockReader, double dpiX, double dpiY)
{
    if (!path)
        Exception::throwInvalidArgument();
    WIC::Bitmap source(gdiplusToWicBitmap(bitmap, dpiX, dpiY), true);
    wicEncodeSource(container, source, pixelFormat, options, blockReader, path, nullptr);
}

void wicSaveGdiplusBitmap(IStream* file, const GUID& container, const GUID& pixelFormat, Gdiplus::Bitmap* bitmap,
                          const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader, double dpiX,
                          double dpiY)
{
    if (!file)
        Exception::throwInvalidArgument();
    WIC::Bitmap source(gdiplusToWicBitmap(bitmap, dpiX, dpiY), true);
    wicEncodeSource(container, source, pixelFormat, options, blockReader, nullptr, file);
}

IStream* wicEncodeGdiplusBitmapToStream(const GUID& container, const GUID& pixelFormat, Gdiplus::Bitmap* bitmap,
                                        const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader,
                                        double dpiX, double dpiY)
{
    WIC::Bitmap source(gdiplusToWicBitmap(bitmap, dpiX, dpiY), true);
    return wicEncodeSourceToStream(container, source, pixelFormat, options, blockReader);
}
