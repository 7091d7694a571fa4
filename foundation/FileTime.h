#pragma once
#include <windows.h>

// The three times of a file (UTC), read from one file and given to another. Failures give false and leave the
// system's error in the thread's last error.
class FileTime {
public:
    FileTime() = default;
    virtual ~FileTime() = default;

    bool read(const wchar_t* path);
    bool apply(const wchar_t* path) const;

    FILETIME creation{};
    FILETIME lastWrite{};
    FILETIME lastAccess{};
};

// Opens a file, or a directory with backup semantics, for writing its times; INVALID_HANDLE_VALUE on failure.
HANDLE openForFileTimes(const wchar_t* path);
