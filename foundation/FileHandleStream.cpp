#include "foundation/FileHandleStream.h"
#include <algorithm>
#include <memory>
#include <new>
#include "foundation/File.h"

namespace {

constexpr ULONG CopyBufferBytes = 64 * 1024;

HRESULT lastErrorResult()
{
    DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

} // namespace

void FileHandleStream::WriteFailure::note(DWORD error)
{
    DWORD none = ERROR_SUCCESS;
    first.compare_exchange_strong(none, error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error);
}

IStream* FileHandleStream::create(HANDLE file, std::shared_ptr<WriteFailure> failures)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return nullptr;
    FileHandleStream* stream = new (std::nothrow) FileHandleStream(copy, std::move(failures));
    if (!stream) {
        CloseHandle(copy);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return stream;
}

STDMETHODIMP FileHandleStream::QueryInterface(REFIID iid, void** object)
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

STDMETHODIMP FileHandleStream::Read(void* buffer, ULONG count, ULONG* done)
{
    if (!buffer)
        return STG_E_INVALIDPOINTER;
    DWORD read = 0;
    BOOL succeeded = ReadFile(file.get(), buffer, count, &read, nullptr);
    if (done)
        *done = read;
    if (!succeeded)
        return lastErrorResult();
    return read == count ? S_OK : S_FALSE;
}

STDMETHODIMP FileHandleStream::Write(const void* buffer, ULONG count, ULONG* done)
{
    if (!buffer)
        return STG_E_INVALIDPOINTER;
    bool written = File::writeAll(file.get(), buffer, count);
    if (done)
        *done = written ? count : 0;
    return written ? S_OK : writeFailed();
}

HRESULT FileHandleStream::writeFailed()
{
    DWORD error = GetLastError();
    if (failures)
        failures->note(error);
    SetLastError(error);
    return lastErrorResult();
}

STDMETHODIMP FileHandleStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    if (origin != STREAM_SEEK_SET && origin != STREAM_SEEK_CUR && origin != STREAM_SEEK_END)
        return STG_E_INVALIDFUNCTION;
    // The origins have the values of the file-pointer methods.
    LARGE_INTEGER reached;
    if (!SetFilePointerEx(file.get(), move, &reached, origin))
        return lastErrorResult();
    if (position)
        position->QuadPart = static_cast<ULONGLONG>(reached.QuadPart);
    return S_OK;
}

STDMETHODIMP FileHandleStream::SetSize(ULARGE_INTEGER size)
{
    LARGE_INTEGER none = {};
    LARGE_INTEGER kept;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size.QuadPart);
    if (!SetFilePointerEx(file.get(), none, &kept, FILE_CURRENT) ||
        !SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN))
        return lastErrorResult();
    HRESULT result = SetEndOfFile(file.get()) ? S_OK : writeFailed();
    SetFilePointerEx(file.get(), kept, nullptr, FILE_BEGIN);
    return result;
}

STDMETHODIMP FileHandleStream::CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                      ULARGE_INTEGER* written)
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
        ULONG part = static_cast<ULONG>(std::min<ULONGLONG>(CopyBufferBytes, count.QuadPart - readTotal));
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

STDMETHODIMP FileHandleStream::Stat(STATSTG* stat, DWORD)
{
    if (!stat)
        return STG_E_INVALIDPOINTER;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file.get(), &information))
        return lastErrorResult();
    ZeroMemory(stat, sizeof(*stat));
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = static_cast<ULONGLONG>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    stat->mtime = information.ftLastWriteTime;
    stat->ctime = information.ftCreationTime;
    stat->atime = information.ftLastAccessTime;
    stat->grfMode = STGM_READWRITE;
    return S_OK;
}

STDMETHODIMP FileHandleStream::Clone(IStream** copy)
{
    if (!copy)
        return STG_E_INVALIDPOINTER;
    // A clone would share the one file pointer, not keep a position of its own.
    *copy = nullptr;
    return E_NOTIMPL;
}
