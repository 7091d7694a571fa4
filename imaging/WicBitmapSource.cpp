#include "imaging/WicBitmapSource.h"
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/ComStream.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicFactory.h"

namespace WIC {

namespace {

constexpr UINT MaxPaletteColours = 256;

template <typename T>
T* adopt(T* pointer, bool attach)
{
    if (!pointer)
        Exception::throwInvalidArgument();
    if (!attach)
        pointer->AddRef();
    return pointer;
}

} // namespace

BitmapSource::BitmapSource(IWICBitmapSource* source, bool attach) : source(adopt(source, attach))
{
}

BitmapSource::~BitmapSource()
{
    BitmapSource::release();
}

ULONG BitmapSource::release()
{
    if (!source)
        return 0;
    ULONG count = source->Release();
    source = nullptr;
    return count;
}

IWICBitmapSource* BitmapSource::requireSource() const
{
    if (!source)
        throw Exception(ErrorCode::InvalidState);
    return source;
}

UINT BitmapSource::width() const
{
    UINT width = 0;
    UINT height = 0;
    Exception::check(requireSource()->GetSize(&width, &height));
    return width;
}

UINT BitmapSource::height() const
{
    UINT width = 0;
    UINT height = 0;
    Exception::check(requireSource()->GetSize(&width, &height));
    return height;
}

double BitmapSource::dpiX() const
{
    double x = 0;
    double y = 0;
    Exception::check(requireSource()->GetResolution(&x, &y));
    return x;
}

double BitmapSource::dpiY() const
{
    double x = 0;
    double y = 0;
    Exception::check(requireSource()->GetResolution(&x, &y));
    return y;
}

GUID BitmapSource::pixelFormat() const
{
    GUID format = GUID_WICPixelFormatDontCare;
    Exception::check(requireSource()->GetPixelFormat(&format));
    return format;
}

UINT BitmapSource::bitsPerPixel() const
{
    return wicBitsPerPixel(pixelFormat());
}

UINT BitmapSource::copyPalette(WICColor* colours) const
{
    if (!colours)
        Exception::throwInvalidArgument();
    IWICBitmapSource* held = requireSource();
    if (bitsPerPixel() > 8)
        return 0;
    ComPtr<IWICPalette> palette(wicCreatePalette());
    Exception::check(held->CopyPalette(palette.get()));
    UINT count = 0;
    Exception::check(palette->GetColorCount(&count));
    if (count > MaxPaletteColours)
        count = MaxPaletteColours;
    UINT copied = 0;
    Exception::check(palette->GetColors(count, colours, &copied));
    return copied;
}

void BitmapSource::queryInterface(REFIID iid, void** result) const
{
    if (!result)
        Exception::throwInvalidArgument();
    *result = nullptr;
    Exception::check(requireSource()->QueryInterface(iid, result));
}

IStream* BitmapSource::encodeToStream(const GUID& container) const
{
    requireSource();
    OutputComStream output;
    output.create();
    BitmapEncoder encoder;
    encoder.createOnStream(output.get(), container);
    encoder.addFrame(*this);
    encoder.commit();
    return output.detach();
}

IWICMetadataQueryReader* BitmapSource::metadataQueryReader() const
{
    ComPtr<IWICBitmapFrameDecode> frame;
    queryInterface(IID_IWICBitmapFrameDecode, frame.outVoid());
    IWICMetadataQueryReader* reader = nullptr;
    HRESULT result = frame->GetMetadataQueryReader(&reader);
    // A format without metadata (BMP) answers that it has no reader: nothing to read, no failure.
    if (result == WINCODEC_ERR_UNSUPPORTEDOPERATION)
        return nullptr;
    Exception::check(result);
    return reader;
}

Bitmap::Bitmap(IWICBitmap* bitmap, bool attach) : BitmapSource(bitmap, attach), bitmap(bitmap)
{
    bitmap->AddRef();
}

Bitmap::~Bitmap()
{
    Bitmap::release();
}

ULONG Bitmap::release()
{
    if (bitmap)
        bitmap->Release();
    bitmap = nullptr;
    return BitmapSource::release();
}

void Bitmap::setPalette(const WICColor* colours)
{
    if (!bitmap)
        throw Exception(ErrorCode::InvalidState);
    UINT bits = bitsPerPixel();
    if (bits > 8)
        return;
    ComPtr<IWICPalette> palette(wicCreatePalette());
    if (colours) {
        UINT count = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
        Exception::check(palette->InitializeCustom(const_cast<WICColor*>(colours), count));
    }
    Exception::check(bitmap->SetPalette(palette.get()));
}

void Bitmap::setResolution(double dpiX, double dpiY)
{
    if (!bitmap)
        throw Exception(ErrorCode::InvalidState);
    Exception::check(bitmap->SetResolution(dpiX, dpiY));
}

} // namespace WIC
