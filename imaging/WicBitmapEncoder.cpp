#include "imaging/WicBitmapEncoder.h"
#include <new>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/WicDeclarations.h"
#include "imaging/wicFactory.h"

namespace WIC {

namespace {

[[noreturn]] void throwEmpty()
{
    throw Exception(ErrorCode::InvalidState);
}

template <typename T>
void releaseAndClear(T*& pointer)
{
    if (pointer)
        pointer->Release();
    pointer = nullptr;
}

} // namespace

BitmapFrameEncode::BitmapFrameEncode(IWICBitmapFrameEncode* frame, IPropertyBag2* options, UINT width, UINT height,
                                     const GUID& pixelFormat)
    : frame(frame), options(options), width(width), height(height), format(pixelFormat)
{
}

BitmapFrameEncode::~BitmapFrameEncode()
{
    releaseAndClear(options);
    releaseAndClear(frame);
}

void BitmapFrameEncode::requireFrame() const
{
    if (!frame)
        throwEmpty();
}

void BitmapFrameEncode::initialize()
{
    requireFrame();
    if (initialized)
        return;
    Exception::check(frame->Initialize(options));
    Exception::check(frame->SetSize(width, height));
    GUID chosen = format;
    Exception::check(frame->SetPixelFormat(&chosen));
    format = chosen;
    initialized = true;
}

UINT BitmapFrameEncode::bitsPerPixel() const
{
    requireFrame();
    return wicBitsPerPixel(format);
}

void BitmapFrameEncode::writeProperty(const wchar_t* name, VARTYPE type, const VARIANT& value)
{
    if (!options)
        throwEmpty();
    if (!name)
        Exception::throwInvalidArgument();
    PROPBAG2 property = {};
    property.dwType = PROPBAG2_TYPE_DATA;
    property.vt = type;
    property.pstrName = const_cast<LPOLESTR>(name);
    Exception::check(options->Write(1, &property, const_cast<VARIANT*>(&value)));
}

void BitmapFrameEncode::writePixels(const BYTE* rows)
{
    if (!rows)
        Exception::throwInvalidArgument();
    GUID requested = format;
    initialize();
    // Rows laid out for the asked format would be misread in any other: refuse rather than write a wrong picture.
    if (!IsEqualGUID(requested, format))
        throw Exception(static_cast<int>(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT));
    UINT stride = static_cast<UINT>((static_cast<ULONGLONG>(width) * bitsPerPixel() + 31) / 32 * 4);
    for (UINT i = 0; i < height; ++i) {
        const BYTE* row = rows + static_cast<size_t>(height - 1 - i) * stride;
        Exception::check(frame->WritePixels(1, stride, stride, const_cast<BYTE*>(row)));
    }
    commitAndRelease();
}

void BitmapFrameEncode::writeSource(const BitmapSource& source)
{
    if (!source.get())
        throwEmpty();
    requireFrame();
    ComPtr<IWICBitmapSource> pixels;
    source.queryInterface(IID_IWICBitmapSource, pixels.outVoid());
    UINT requestedBits = bitsPerPixel();
    initialize();
    if (requestedBits <= 8) {
        ComPtr<IWICPalette> palette(wicCreatePalette());
        Exception::check(pixels->CopyPalette(palette.get()));
        Exception::check(frame->SetPalette(palette.get()));
    }
    WICRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    Exception::check(frame->WriteSource(pixels.get(), &all));
    commitAndRelease();
}

void BitmapFrameEncode::copyMetadata(IWICMetadataBlockReader* blockReader)
{
    if (!blockReader)
        Exception::throwInvalidArgument();
    initialize();
    ComPtr<IWICMetadataBlockWriter> writer;
    Exception::check(frame->QueryInterface(IID_IWICMetadataBlockWriter, writer.outVoid()));
    Exception::check(writer->InitializeFromBlockReader(blockReader));
}

void BitmapFrameEncode::commitAndRelease()
{
    Exception::check(frame->Commit());
    releaseAndClear(options);
    releaseAndClear(frame);
}

void BitmapEncoder::create(const wchar_t* path, IStream* stream, const GUID& container)
{
    if (!path && !stream)
        Exception::throwInvalidArgument();
    close();
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    Exception::check(factory->CreateEncoder(container, nullptr, &encoder));
    HRESULT result = factory->CreateStream(&output);
    bool fileMade = false;
    if (SUCCEEDED(result)) {
        result = path ? output->InitializeFromFilename(path, GENERIC_WRITE) : output->InitializeFromIStream(stream);
        fileMade = path && SUCCEEDED(result);
    }
    if (SUCCEEDED(result))
        result = encoder->Initialize(output, WICBitmapEncoderNoCache);
    if (FAILED(result)) {
        close();
        if (fileMade)
            DeleteFileW(path);
        throw Exception(static_cast<int>(result));
    }
}

void BitmapEncoder::createOnStream(IStream* stream, const GUID& container)
{
    if (!stream)
        Exception::throwInvalidArgument();
    create(nullptr, stream, container);
}

std::unique_ptr<BitmapFrameEncode> BitmapEncoder::createFrame(UINT width, UINT height, const GUID& pixelFormat)
{
    if (!encoder)
        throwEmpty();
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    Exception::check(encoder->CreateNewFrame(&frame, &options));
    int failure = !frame || !options ? ErrorCode::InvalidArgument : 0;
    BitmapFrameEncode* made = nullptr;
    if (!failure) {
        made = new (std::nothrow) BitmapFrameEncode(frame, options, width, height, pixelFormat);
        if (!made)
            failure = ErrorCode::NoMemory;
    }
    if (failure) {
        releaseAndClear(frame);
        releaseAndClear(options);
        throw Exception(failure);
    }
    return std::unique_ptr<BitmapFrameEncode>(made);
}

void BitmapEncoder::addFrame(const BitmapSource& source)
{
    GUID format = source.pixelFormat();
    std::unique_ptr<BitmapFrameEncode> frame = createFrame(source.width(), source.height(), format);
    frame->writeSource(source);
}

void BitmapEncoder::commit()
{
    if (!encoder)
        throwEmpty();
    Exception::check(encoder->Commit());
    close();
}

void BitmapEncoder::close()
{
    releaseAndClear(output);
    releaseAndClear(encoder);
}

} // namespace WIC
