#include "imaging/wicDecode.h"
#include <memory>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/ComStream.h"
#include "imaging/WicBitmapDecoder.h"

namespace {

constexpr UINT DeepestPngBits = 48;

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
