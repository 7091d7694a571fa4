#include "foundation/IStreamImpl.h"
#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr ULONG CopyBufferBytes = 64 * 1024;

} // namespace

STDMETHODIMP IStreamImpl::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_ISequentialStream && iid != IID_IStream) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP IStreamImpl::CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written)
{
    if (!target)
        return STG_E_INVALIDPOINTER;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[CopyBufferBytes]);
    if (!buffer)
        return E_OUTOFMEMORY;
    ULONGLONG readTotal = 0;
    ULONGLONG writtenTotal = 0;
    HRESULT result = S_OK;
    while (readTotal < count.QuadPart) {
        auto part = static_cast<ULONG>(std::min<ULONGLONG>(CopyBufferBytes, count.QuadPart - readTotal));
        ULONG got = 0;
        result = Read(buffer.get(), part, &got);
        readTotal += got;
        if (FAILED(result) || got == 0)
            break;
        ULONG put = 0;
        result = target->Write(buffer.get(), got, &put);
        writtenTotal += put;
        if (FAILED(result) || got < part)
            break;
    }
    if (read)
        read->QuadPart = readTotal;
    if (written)
        written->QuadPart = writtenTotal;
    return FAILED(result) ? result : S_OK;
}
