#include "foundation/FindFiles.h"
#include "foundation/FileHandle.h"
#include "foundation/FileTime.h"
#include "foundation/MemoryAllocator.h"

namespace {

// The full path of the pattern cut before its last component, from the library allocator; null on failure.
wchar_t* directoryOf(const wchar_t* pattern)
{
    DWORD needed = GetFullPathNameW(pattern, 0, nullptr, nullptr);
    if (needed == 0)
        return nullptr;
    auto buffer = static_cast<wchar_t*>(MemoryAllocator::alloc(static_cast<int>(needed * sizeof(wchar_t))));
    if (!buffer)
        return nullptr;
    wchar_t* filePart = nullptr;
    DWORD written = GetFullPathNameW(pattern, needed, buffer, &filePart);
    if (written == 0 || written >= needed) {
        MemoryAllocator::free(buffer);
        return nullptr;
    }
    if (filePart)
        *filePart = 0;
    return buffer;
}

} // namespace

bool FindFiles::isOpen() const
{
    if (search != INVALID_HANDLE_VALUE)
        return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

bool FindFiles::findFirst(const wchar_t* pattern)
{
    close();
    if (!pattern || !*pattern) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    directory = directoryOf(pattern);
    if (!directory)
        return false;
    search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        close();
        SetLastError(error);
        return false;
    }
    return true;
}

bool FindFiles::findNext()
{
    if (!isOpen())
        return false;
    if (FindNextFileW(search, &entry))
        return true;
    DWORD error = GetLastError();
    close();
    SetLastError(error);
    return false;
}

void FindFiles::close()
{
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    search = INVALID_HANDLE_VALUE;
    MemoryAllocator::free(directory);
    directory = nullptr;
    ZeroMemory(&entry, sizeof(entry));
}

wstring FindFiles::getFullPath() const
{
    if (!directory)
        return wstring();
    return wstring(directory) + entry.cFileName;
}

ULONGLONG FindFiles::getSize() const
{
    if (!isOpen())
        return 0;
    return (static_cast<ULONGLONG>(entry.nFileSizeHigh) << 32) + entry.nFileSizeLow;
}

bool FindFiles::getFileTime(int kind, FILETIME& time) const
{
    if (!isOpen())
        return false;
    switch (kind) {
    case Creation:
        time = entry.ftCreationTime;
        return true;
    case LastAccess:
        time = entry.ftLastAccessTime;
        return true;
    case LastWrite:
        time = entry.ftLastWriteTime;
        return true;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
}

bool FindFiles::getLocalTime(int kind, SYSTEMTIME& time) const
{
    ZeroMemory(&time, sizeof(time));
    FILETIME universal;
    FILETIME local;
    return getFileTime(kind, universal) && FileTimeToLocalFileTime(&universal, &local) &&
           FileTimeToSystemTime(&local, &time);
}

bool FindFiles::setFileTime(const SYSTEMTIME& localTime) const
{
    if (!isOpen())
        return false;
    FILETIME local;
    FILETIME universal;
    if (!SystemTimeToFileTime(&localTime, &local) || !LocalFileTimeToFileTime(&local, &universal))
        return false;
    FileHandle file(openForFileTimes(getFullPath().buffer()));
    if (!file.isValid())
        return false;
    return SetFileTime(file.get(), &universal, nullptr, &universal) != FALSE;
}
