#include "foundation/FileTime.h"
#include "foundation/FileHandle.h"

HANDLE openForFileTimes(const wchar_t* path)
{
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        flags |= FILE_FLAG_BACKUP_SEMANTICS;
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool FileTime::read(const wchar_t* path)
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(path, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    creation = entry.ftCreationTime;
    lastWrite = entry.ftLastWriteTime;
    lastAccess = entry.ftLastAccessTime;
    return true;
}

bool FileTime::apply(const wchar_t* path) const
{
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    FileHandle file(openForFileTimes(path));
    if (!file.isValid())
        return false;
    return SetFileTime(file.get(), &creation, &lastAccess, &lastWrite) != FALSE;
}
