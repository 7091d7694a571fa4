#include "foundation/File.h"

namespace {

struct OpenMode {
    DWORD access;
    DWORD sharing;
    DWORD creation;
    bool append;
};

OpenMode describe(int mode)
{
    switch (mode) {
    case File::ReadWrite:
        return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, false};
    case File::Read:
        return {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, false};
    case File::Write:
        return {GENERIC_WRITE, 0, CREATE_ALWAYS, false};
    case File::WriteShareRead:
        return {GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, false};
    case File::Append:
        return {GENERIC_WRITE, 0, OPEN_ALWAYS, true};
    case File::AppendShareRead:
        return {GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, true};
    default:
        return {GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, false};
    }
}

} // namespace

bool File::open(const wchar_t* path, int mode)
{
    close();
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    OpenMode how = describe(mode);
    handle = CreateFileW(path, how.access, how.sharing, nullptr, how.creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    // A handle whose size cannot be asked is no usable file (a device or a pipe).
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size))
        return failClosing();
    if (how.append) {
        LARGE_INTEGER none = {};
        if (!SetFilePointerEx(handle, none, nullptr, FILE_END))
            return failClosing();
    }
    return true;
}

void File::close()
{
    if (handle == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

bool File::writeAll(HANDLE file, const void* bytes, DWORD count, DWORD* written)
{
    auto next = static_cast<const BYTE*>(bytes);
    DWORD total = 0;
    if (!written)
        written = &total;
    *written = 0;
    // A write that takes only part of the bytes, as on a disk that fills up, is asked for the rest: the system
    // then says itself why it takes no more.
    while (*written < count) {
        DWORD taken = 0;
        if (!WriteFile(file, next + *written, count - *written, &taken, nullptr))
            return false;
        if (taken == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        *written += taken;
    }
    return true;
}

bool File::failClosing()
{
    DWORD error = GetLastError();
    close();
    SetLastError(error);
    return false;
}
