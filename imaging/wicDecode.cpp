#include "imaging/wicDecode.h"
#include <algorithm>
#include <iterator>
#include <memory>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/BitmapLock.h"
#include "imaging/ComStream.h"
#include "imaging/WicBitmapDecoder.h"

namespace {

constexpr UINT DeepestPngBits = 48;

// The WIC formats whose pixels lie in memory as those of a GDI+ format.
struct SameLayout {
    const GUID& wic;
    Gdiplus::PixelFormat gdiplus;
};
const SameLayout SameLayouts[] = {
    {GUID_WICPixelFormat24bppBGR, PixelFormat24bppRGB},
    {GUID_WICPixelFormat32bppBGR, PixelFormat32bppRGB},
    {GUID_WICPixelFormat32bppBGRA, PixelFormat32bppARGB},
    {GUID_WICPixelFormat32bppPBGRA, PixelFormat32bppPARGB},
};

// The pixels copied straight into a GDI+ bitmap of the same layout, with the source's resolution; null when GDI+
// has no such layout.
Gdiplus::Bitmap* copyToGdiplusBitmap(const WIC::BitmapSource& source)
{
    GUID format = source.pixelFormat();
    const auto* same = std::find_if(std::begin(SameLayouts), std::end(SameLayouts),
                                    [&](const SameLayout& layout) { return IsEqualGUID(layout.wic, format); });
    if (same == std::end(SameLayouts))
        return nullptr;
    UINT width = source.width();
    UINT height = source.height();
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        new Gdiplus::Bitmap(static_cast<INT>(width), static_cast<INT>(height), same->gdiplus));
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        throw Exception(ErrorCode::NoMemory);
    {
        BitmapLock lock(bitmap.get(), Gdiplus::ImageLockModeWrite, same->gdiplus);
        if (!lock.isLocked())
            throw Exception(ErrorCode::NoMemory);
        auto stride = static_cast<UINT>(lock.data.Stride);
        Exception::check(source.get()->CopyPixels(nullptr, stride, stride * height, lock.row(0)));
    }
    bitmap->SetResolution(static_cast<Gdiplus::REAL>(source.dpiX()), static_cast<Gdiplus::REAL>(source.dpiY()));
    return bitmap.release();
}

Gdiplus::Bitmap* toGdiplusBitmap(IWICBitmapSource* source)
{
    WIC::BitmapSource wrapper(source, true);
    return wicToGdiplusBitmap(wrapper);
}

} // namespace

UINT wicFrameCount(const wstring& path)
{
    WIC::BitmapDecoder decoder;
    decoder.openFile(path);
    return decoder.frameCount();
}

IWICBitmapFrameDecode* wicOpenFrame(const wstring& path, UINT index, ICanceller* canceller)
{
    WIC::BitmapDecoder decoder;
    decoder.openFile(path);
    if (canceller)
        decoder.setCanceller(canceller);
    return decoder.frame(index);
}

IWICBitmapFrameDecode* wicFirstFrameFromStream(IStream* stream)
{
    WIC::BitmapDecoder decoder;
    decoder.openStream(stream);
    return decoder.frame(0);
}

IWICBitmapSource* wicThumbnail(const wstring& path)
{
    WIC::BitmapDecoder decoder;
    decoder.openFile(path);
    return decoder.thumbnail();
}

IWICBitmapSource* wicPreview(const wstring& path)
{
    WIC::BitmapDecoder decoder;
    decoder.openFile(path);
    return decoder.preview();
}

Gdiplus::Bitmap* wicToGdiplusBitmap(const WIC::BitmapSource& source)
{
    if (Gdiplus::Bitmap* copied = copyToGdiplusBitmap(source))
        return copied;
    const GUID& container = source.bitsPerPixel() <= DeepestPngBits ? GUID_ContainerFormatPng
                                                                      : GUID_ContainerFormatBmp;
    ComPtr<IStream> stream(source.encodeToStream(container));
    rewindComStream(stream.get());
    // GDI+ keeps its own reference to the stream for as long as the bitmap lives.
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream.get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        throw Exception(ErrorCode::NoMemory);
    return bitmap.release();
}

Gdiplus::Bitmap* wicLoadFrameAsGdiplusBitmap(const wstring& path, UINT index, ICanceller* canceller)
{
    return toGdiplusBitmap(wicOpenFrame(path, index, canceller));
}

Gdiplus::Bitmap* wicLoadPreviewAsGdiplusBitmap(const wstring& path)
{
    return toGdiplusBitmap(wicPreview(path));
}
