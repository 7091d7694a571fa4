#pragma once
#include <windows.h>

// Owner of one handle from CreateFileW; INVALID_HANDLE_VALUE while none is held.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { reset(); }

    // Closes the held handle and takes the other one.
    void reset(HANDLE other = INVALID_HANDLE_VALUE)
    {
        if (isValid())
            CloseHandle(handle);
        handle = other;
    }

    bool isValid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};
