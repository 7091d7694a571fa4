#include "imaging/wicFactory.h"
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"

IWICImagingFactory* wicCreateFactory()
{
    IWICImagingFactory* factory = nullptr;
    Exception::check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory)));
    return factory;
}

UINT wicBitsPerPixel(const GUID& pixelFormat)
{
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    ComPtr<IWICComponentInfo> info;
    Exception::check(factory->CreateComponentInfo(pixelFormat, info.out()));
    ComPtr<IWICPixelFormatInfo> formatInfo;
    Exception::check(info->QueryInterface(IID_IWICPixelFormatInfo, formatInfo.outVoid()));
    UINT bits = 0;
    Exception::check(formatInfo->GetBitsPerPixel(&bits));
    return bits;
}

IWICPalette* wicCreatePalette()
{
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    IWICPalette* palette = nullptr;
    Exception::check(factory->CreatePalette(&palette));
    return palette;
}

IWICFormatConverter* wicCreateFormatConverter(IWICBitmapSource* source, const GUID& pixelFormat,
                                              IWICPalette* palette, double alphaThresholdPercent,
                                              WICBitmapPaletteType paletteTranslation)
{
    if (!source)
        Exception::throwInvalidArgument();
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    ComPtr<IWICFormatConverter> converter;
    Exception::check(factory->CreateFormatConverter(converter.out()));
    Exception::check(converter->Initialize(source, pixelFormat, WICBitmapDitherTypeNone, palette,
                                           alphaThresholdPercent, paletteTranslation));
    IWICFormatConverter* result = converter.get();
    result->AddRef();
    return result;
}

IWICBitmapScaler* wicCreateScaler(IWICBitmapSource* source, UINT width, UINT height)
{
    if (!source)
        Exception::throwInvalidArgument();
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    ComPtr<IWICBitmapScaler> scaler;
    Exception::check(factory->CreateBitmapScaler(scaler.out()));
    Exception::check(scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant));
    IWICBitmapScaler* result = scaler.get();
    result->AddRef();
    return result;
}

IWICBitmap* wicCreateBitmapFromMemory(UINT width, UINT height, const BYTE* pixels)
{
    if (width == 0 || height == 0 || !pixels)
        Exception::throwInvalidArgument();
    ULONGLONG stride = (static_cast<ULONGLONG>(width) * wicBitsPerPixel(GUID_WICPixelFormat32bppBGRA) + 31) / 32 * 4;
    ULONGLONG size = stride * height;
    if (size > 0xFFFFFFFFu)
        throw Exception(ErrorCode::NoMemory);
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    IWICBitmap* bitmap = nullptr;
    Exception::check(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA,
                                                     static_cast<UINT>(stride), static_cast<UINT>(size),
                                                     const_cast<BYTE*>(pixels), &bitmap));
    return bitmap;
}
