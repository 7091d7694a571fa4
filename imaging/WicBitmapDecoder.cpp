#include "imaging/WicBitmapDecoder.h"
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "foundation/FileStream.h"
#include "foundation/MemPtr.h"
#include "imaging/ComStream.h"
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
    OutputComStream memory;
    memory.create();
    InputFileStream file(path.buffer());
    ULONGLONG size = fileSize(path);
    if (size > 0x7FFFFFFF)
        throw Exception(ErrorCode::NoMemory);
    if (size > 0) {
        VoidPtr buffer(MemoryAllocator::alloc(static_cast<int>(size)));
        if (!buffer.get())
            throw Exception(ErrorCode::NoMemory);
        bool endOfData = false;
        DWORD read = file.read(buffer.get(), static_cast<DWORD>(size), endOfData);
        memory.write(buffer.get(), read);
    }
    file.close();
    ComPtr<IStream> stream(memory.detach());
    openStream(stream.get());
}

void BitmapDecoder::openStream(IStream* stream)
{
    if (!stream)
        Exception::throwInvalidArgument();
    rewindComStream(stream);
    release();
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
    IWICBitmapFrameDecode* result = nullptr;
    Exception::check(requireDecoder()->GetFrame(index, &result));
    return result;
}

IWICBitmapSource* BitmapDecoder::preview() const
{
    IWICBitmapSource* result = nullptr;
    Exception::check(requireDecoder()->GetPreview(&result));
    return result;
}

IWICBitmapSource* BitmapDecoder::thumbnail() const
{
    IWICBitmapSource* result = nullptr;
    Exception::check(requireDecoder()->GetThumbnail(&result));
    return result;
}

} // namespace WIC
