#include "imaging/WicBitmapDecoder.h"
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/FileStream.h"
#include "foundation/MemPtr.h"
#include "imaging/ComStream.h"
#include "imaging/GifScreenFrame.h"
#include "imaging/PictureSizeLimit.h"
#include "imaging/PictureTooLarge.h"
#include "imaging/pictureClaims.h"
#include "imaging/wicFactory.h"

namespace WIC {

namespace {

constexpr DWORD CancelCheckFlags =
    static_cast<DWORD>(WICProgressOperationCopyPixels) | static_cast<DWORD>(WICProgressNotificationFrequent);

bool meansNoProgress(HRESULT result)
{
    return result == E_NOINTERFACE || result == E_NOTIMPL;
}

// Withdraws the progress callback of a decoder; the decoder's answer, or S_OK when it offers no progress.
HRESULT unregisterProgress(IWICBitmapDecoder* decoder)
{
    ComPtr<IWICBitmapCodecProgressNotification> progress;
    if (FAILED(decoder->QueryInterface(IID_IWICBitmapCodecProgressNotification, progress.outVoid())))
        return S_OK;
    return progress->RegisterProgressNotification(nullptr, nullptr, 0);
}

// A source whose picture would be larger than the program takes is released and refused: decoders allocate the
// whole picture once its pixels are asked for. One whose size cannot be told is handed on as it is.
template <typename Source>
Source* withinSizeLimit(Source* source)
{
    UINT width = 0;
    UINT height = 0;
    GUID format = GUID_NULL;
    if (!source || FAILED(source->GetSize(&width, &height)) || FAILED(source->GetPixelFormat(&format)))
        return source;
    int bits = 32;
    try {
        bits = static_cast<int>(wicBitsPerPixel(format));
    } catch (const Exception&) {
        // A format that WIC cannot describe counts as 32 bits, the depth the program works in.
    }
    if (!PictureSizeLimit::admits(width, height, bits)) {
        source->Release();
        throw PictureTooLarge(width, height);
    }
    return source;
}

ULONGLONG fileSize(const wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(path.buffer(), GetFileExInfoStandard, &attributes))
        Exception::throwLastError();
    return (static_cast<ULONGLONG>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
}

} // namespace

HRESULT WINAPI wicProgressNotification(void* data, ULONG, WICProgressOperation, double)
{
    return isCancelled(static_cast<ICanceller*>(data)) ? E_ABORT : S_OK;
}

BitmapDecoder::~BitmapDecoder()
{
    release();
}

void BitmapDecoder::release()
{
    if (!decoder)
        return;
    if (canceller)
        unregisterProgress(decoder);
    canceller = nullptr;
    decoder->Release();
    decoder = nullptr;
}

IWICBitmapDecoder* BitmapDecoder::requireDecoder() const
{
    if (!decoder)
        throw Exception(ErrorCode::InvalidState);
    return decoder;
}

void BitmapDecoder::openFile(const wstring& path)
{
    InputFileStream file(path.buffer());
    ULONGLONG size = fileSize(path);
    if (size > 0x7FFFFFFF)
        throw Exception(ErrorCode::NoMemory);
    VoidPtr buffer(MemoryAllocator::alloc(static_cast<int>(size > 0 ? size : 1)));
    if (!buffer.get())
        throw Exception(ErrorCode::NoMemory);
    bool endOfData = false;
    DWORD read = size > 0 ? file.read(buffer.get(), static_cast<DWORD>(size), endOfData) : 0;
    file.close();
    ComPtr<IStream> stream(createMemoryStream(buffer.get(), read));
    openStream(stream.get());
}

void BitmapDecoder::openStream(IStream* stream)
{
    if (!stream)
        Exception::throwInvalidArgument();
    rewindComStream(stream);
    release();
    if (!checkPictureClaims(stream))
        Exception::throwLastError();
    ComPtr<IWICImagingFactory> factory(wicCreateFactory());
    Exception::check(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder));
}

void BitmapDecoder::attach(IWICBitmapDecoder* other)
{
    release();
    decoder = other;
}

bool BitmapDecoder::setCanceller(ICanceller* newCanceller)
{
    requireDecoder();
    if (!newCanceller)
        Exception::throwInvalidArgument();
    clearCanceller();
    ComPtr<IWICBitmapCodecProgressNotification> progress;
    HRESULT result = decoder->QueryInterface(IID_IWICBitmapCodecProgressNotification, progress.outVoid());
    if (SUCCEEDED(result))
        result = progress->RegisterProgressNotification(wicProgressNotification, newCanceller, CancelCheckFlags);
    if (meansNoProgress(result))
        return false;
    Exception::check(result);
    canceller = newCanceller;
    return true;
}

void BitmapDecoder::clearCanceller()
{
    requireDecoder();
    if (!canceller)
        return;
    canceller = nullptr;
    Exception::check(unregisterProgress(decoder));
}

GUID BitmapDecoder::containerFormat() const
{
    GUID format = GUID_NULL;
    Exception::check(requireDecoder()->GetContainerFormat(&format));
    return format;
}

UINT BitmapDecoder::frameCount() const
{
    UINT count = 0;
    Exception::check(requireDecoder()->GetFrameCount(&count));
    return count;
}

IWICBitmapFrameDecode* BitmapDecoder::frame(UINT index) const
{
    // Wine's icon decoder reads a frame past the last from beyond its directory: answered as other decoders do.
    UINT count = 0;
    if (SUCCEEDED(requireDecoder()->GetFrameCount(&count)) && index >= count)
        throw Exception(static_cast<int>(WINCODEC_ERR_FRAMEMISSING));
    IWICBitmapFrameDecode* result = nullptr;
    Exception::check(requireDecoder()->GetFrame(index, &result));
    return withinSizeLimit(onGifScreen(decoder, result));
}

IWICBitmapSource* BitmapDecoder::preview() const
{
    IWICBitmapSource* result = nullptr;
    Exception::check(requireDecoder()->GetPreview(&result));
    return withinSizeLimit(result);
}

IWICBitmapSource* BitmapDecoder::thumbnail() const
{
    IWICBitmapSource* result = nullptr;
    Exception::check(requireDecoder()->GetThumbnail(&result));
    return withinSizeLimit(result);
}

} // namespace WIC
