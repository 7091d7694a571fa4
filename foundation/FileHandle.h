#pragma once
#include <windows.h>

// Owner of one handle from CreateFileW; INVALID_HANDLE_VALUE while none is held.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (isValid())
            CloseHandle(handle);
    }

    bool isValid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};
