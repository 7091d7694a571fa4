#include "imaging/GifScreenFrame.h"
#include <algorithm>
#include <cstring>
#include <new>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/IUnknownImpl.h"
#include "foundation/PropVariant.h"
#include "imaging/wicFactory.h"

namespace WIC {

namespace {

constexpr UINT BytesPerPixel = 4;

class GifScreenFrame final : public IUnknownImpl<IWICBitmapFrameDecode> {
public:
    // Holds references of its own to the frame and to its pixels in 32bppBGRA.
    GifScreenFrame(IWICBitmapFrameDecode* frame, IWICBitmapSource* pixels, const WICRect& place, UINT width,
                   UINT height)
        : frame(frame), pixels(pixels), place(place), width(width), height(height)
    {
        frame->AddRef();
        pixels->AddRef();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** result) override
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IWICBitmapSource) &&
            !IsEqualIID(iid, IID_IWICBitmapFrameDecode))
            return E_NOINTERFACE;
        *result = static_cast<IWICBitmapFrameDecode*>(this);
        AddRef();
        return S_OK;
    }

    STDMETHODIMP GetSize(UINT* outWidth, UINT* outHeight) override
    {
        if (!outWidth || !outHeight)
            return E_INVALIDARG;
        *outWidth = width;
        *outHeight = height;
        return S_OK;
    }
    STDMETHODIMP GetPixelFormat(WICPixelFormatGUID* format) override
    {
        if (!format)
            return E_INVALIDARG;
        *format = GUID_WICPixelFormat32bppBGRA;
        return S_OK;
    }
    STDMETHODIMP GetResolution(double* dpiX, double* dpiY) override { return frame->GetResolution(dpiX, dpiY); }
    STDMETHODIMP CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
    STDMETHODIMP CopyPixels(const WICRect* asked, UINT stride, UINT size, BYTE* buffer) override;
    STDMETHODIMP GetMetadataQueryReader(IWICMetadataQueryReader** reader) override
    {
        return frame->GetMetadataQueryReader(reader);
    }
    STDMETHODIMP GetColorContexts(UINT count, IWICColorContext** contexts, UINT* actual) override
    {
        return frame->GetColorContexts(count, contexts, actual);
    }
    STDMETHODIMP GetThumbnail(IWICBitmapSource** thumbnail) override { return frame->GetThumbnail(thumbnail); }

private:
    ~GifScreenFrame() override = default;

    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> pixels;
    WICRect place;
    UINT width;
    UINT height;
};

STDMETHODIMP GifScreenFrame::CopyPixels(const WICRect* asked, UINT stride, UINT size, BYTE* buffer)
{
    WICRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    const WICRect& rect = asked ? *asked : all;
    if (!buffer || rect.X < 0 || rect.Y < 0 || rect.Width < 0 || rect.Height < 0 || rect.Width > all.Width - rect.X ||
        rect.Height > all.Height - rect.Y)
        return E_INVALIDARG;
    if (rect.Width == 0 || rect.Height == 0)
        return S_OK;
    ULONGLONG rowBytes = static_cast<ULONGLONG>(rect.Width) * BytesPerPixel;
    if (stride < rowBytes || size < static_cast<ULONGLONG>(stride) * (rect.Height - 1) + rowBytes)
        return WINCODEC_ERR_INSUFFICIENTBUFFER;
    for (INT row = 0; row < rect.Height; ++row)
        std::memset(buffer + static_cast<size_t>(row) * stride, 0, rowBytes);
    INT left = std::max(rect.X, place.X);
    INT top = std::max(rect.Y, place.Y);
    INT right = std::min(rect.X + rect.Width, place.X + place.Width);
    INT bottom = std::min(rect.Y + rect.Height, place.Y + place.Height);
    if (left >= right || top >= bottom)
        return S_OK;
    WICRect inFrame = {left - place.X, top - place.Y, right - left, bottom - top};
    size_t offset = static_cast<size_t>(top - rect.Y) * stride + static_cast<size_t>(left - rect.X) * BytesPerPixel;
    return pixels->CopyPixels(&inFrame, stride, size - static_cast<UINT>(offset), buffer + offset);
}

// A 16-bit field of the GIF's blocks by its query; false when the reader has none.
bool readField(IWICMetadataQueryReader* reader, const wchar_t* query, INT& field)
{
    PropVariant value;
    if (FAILED(reader->GetMetadataByName(query, value.out())) || value.type() != VT_UI2)
        return false;
    field = value.get().uiVal;
    return true;
}

// The frame's place on the logical screen of the decoder's GIF, and the screen's size.
bool readPlacement(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame, WICRect& place, INT& screenWidth,
                   INT& screenHeight)
{
    GUID container = GUID_NULL;
    ComPtr<IWICMetadataQueryReader> screen;
    ComPtr<IWICMetadataQueryReader> image;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetContainerFormat(&container)) || !IsEqualGUID(container, GUID_ContainerFormatGif) ||
        FAILED(frame->GetSize(&width, &height)) || FAILED(decoder->GetMetadataQueryReader(screen.out())) ||
        FAILED(frame->GetMetadataQueryReader(image.out())))
        return false;
    place.Width = static_cast<INT>(width);
    place.Height = static_cast<INT>(height);
    return readField(screen.get(), L"/logscrdesc/Width", screenWidth) &&
           readField(screen.get(), L"/logscrdesc/Height", screenHeight) &&
           readField(image.get(), L"/imgdesc/Left", place.X) && readField(image.get(), L"/imgdesc/Top", place.Y);
}

} // namespace

IWICBitmapFrameDecode* onGifScreen(IWICBitmapDecoder* decoder, IWICBitmapFrameDecode* frame)
{
    ComPtr<IWICBitmapFrameDecode> held(frame);
    WICRect place = {};
    INT screenWidth = 0;
    INT screenHeight = 0;
    if (!decoder || !frame || !readPlacement(decoder, frame, place, screenWidth, screenHeight))
        return held.detach();
    INT width = std::max(screenWidth, place.X + place.Width);
    INT height = std::max(screenHeight, place.Y + place.Height);
    if (width == place.Width && height == place.Height)
        return held.detach();
    ComPtr<IWICBitmapSource> pixels(
        wicCreateFormatConverter(frame, GUID_WICPixelFormat32bppBGRA, nullptr, 0.0, WICBitmapPaletteTypeMedianCut));
    auto placed = new (std::nothrow)
        GifScreenFrame(frame, pixels.get(), place, static_cast<UINT>(width), static_cast<UINT>(height));
    if (!placed)
        throw Exception(ErrorCode::NoMemory);
    return placed;
}

} // namespace WIC
