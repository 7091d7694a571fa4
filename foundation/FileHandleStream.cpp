#include "foundation/FileHandleStream.h"
#include <algorithm>
#include <memory>
#include <new>
#include "foundation/File.h"

namespace {

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

STDMETHODIMP FileHandleStream::Read(void* buffer, ULONG count, ULONG* done)
{
    if (!buffer)
        return STG_E_INVALIDPOINTER;
    if (unwritten)
        return readUnwritten(buffer, count, done);
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
    if (done)
        *done = count;
    if (isUnwritten()) {
        unwritten->position += count;
        unwritten->size = std::max(unwritten->size, unwritten->position);
        return S_OK;
    }
    DWORD written = 0;
    if (File::writeAll(file.get(), buffer, count, &written))
        return S_OK;
    HRESULT failed = writeFailed();
    if (failures && stopWriting(count - written))
        return S_OK;
    if (done)
        *done = written;
    return failed;
}

HRESULT FileHandleStream::writeFailed()
{
    DWORD error = GetLastError();
    if (failures)
        failures->note(error);
    SetLastError(error);
    return lastErrorResult();
}

bool FileHandleStream::isUnwritten()
{
    if (unwritten)
        return true;
    return failures && failures->error() != ERROR_SUCCESS && stopWriting(0);
}

bool FileHandleStream::stopWriting(ULONGLONG ahead)
{
    LARGE_INTEGER none = {};
    LARGE_INTEGER position;
    LARGE_INTEGER size;
    if (!SetFilePointerEx(file.get(), none, &position, FILE_CURRENT) || !GetFileSizeEx(file.get(), &size))
        return false;
    ULONGLONG reached = static_cast<ULONGLONG>(position.QuadPart) + ahead;
    ULONGLONG onDisk = static_cast<ULONGLONG>(size.QuadPart);
    unwritten = Unwritten{reached, std::max(reached, onDisk), onDisk};
    return true;
}

// The bytes that the disk holds, then zeros up to the size that the writer believes in.
HRESULT FileHandleStream::readUnwritten(void* buffer, ULONG count, ULONG* done)
{
    Unwritten& state = *unwritten;
    ULONGLONG left = state.position < state.size ? state.size - state.position : 0;
    ULONG wanted = static_cast<ULONG>(std::min<ULONGLONG>(count, left));
    ULONG stored = state.position < state.onDisk
                       ? static_cast<ULONG>(std::min<ULONGLONG>(wanted, state.onDisk - state.position))
                       : 0;
    DWORD read = 0;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(state.position);
    at.OffsetHigh = static_cast<DWORD>(state.position >> 32);
    if (stored > 0 && !ReadFile(file.get(), buffer, stored, &read, &at)) {
        if (done)
            *done = 0;
        return lastErrorResult();
    }
    ZeroMemory(static_cast<BYTE*>(buffer) + read, wanted - read);
    state.position += wanted;
    if (done)
        *done = wanted;
    return wanted == count ? S_OK : S_FALSE;
}

STDMETHODIMP FileHandleStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    if (origin != STREAM_SEEK_SET && origin != STREAM_SEEK_CUR && origin != STREAM_SEEK_END)
        return STG_E_INVALIDFUNCTION;
    if (unwritten)
        return seekUnwritten(move, origin, position);
    // The origins have the values of the file-pointer methods.
    LARGE_INTEGER reached;
    if (!SetFilePointerEx(file.get(), move, &reached, origin))
        return lastErrorResult();
    if (position)
        position->QuadPart = static_cast<ULONGLONG>(reached.QuadPart);
    return S_OK;
}

HRESULT FileHandleStream::seekUnwritten(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    ULONGLONG from = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? unwritten->position : unwritten->size;
    if (move.QuadPart < 0 && static_cast<ULONGLONG>(-move.QuadPart) > from)
        return STG_E_INVALIDFUNCTION;
    unwritten->position = from + static_cast<ULONGLONG>(move.QuadPart);
    if (position)
        position->QuadPart = unwritten->position;
    return S_OK;
}

STDMETHODIMP FileHandleStream::SetSize(ULARGE_INTEGER size)
{
    if (isUnwritten()) {
        unwritten->size = size.QuadPart;
        return S_OK;
    }
    LARGE_INTEGER none = {};
    LARGE_INTEGER kept;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size.QuadPart);
    if (!SetFilePointerEx(file.get(), none, &kept, FILE_CURRENT) ||
        !SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN))
        return lastErrorResult();
    HRESULT result = SetEndOfFile(file.get()) ? S_OK : writeFailed();
    SetFilePointerEx(file.get(), kept, nullptr, FILE_BEGIN);
    if (FAILED(result) && failures && stopWriting(0)) {
        unwritten->size = size.QuadPart;
        return S_OK;
    }
    return result;
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
    stat->cbSize.QuadPart = unwritten
                                ? unwritten->size
                                : static_cast<ULONGLONG>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
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
