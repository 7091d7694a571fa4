#pragma once
#include <windows.h>

// An owned file handle opened in one of a few fixed modes.
class File {
public:
    enum Mode {
        ReadWrite = 1,        // read and write, others may read, created when missing
        Read = 2,             // read, others may read, must exist
        Write = 3,            // write, no sharing, created or truncated
        WriteShareRead = 4,   // write, others may read, created or truncated
        Append = 5,           // write at the end, no sharing, created when missing
        AppendShareRead = 6,  // write at the end, others may read, created when missing
    };

    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File() { close(); }

    // Any other mode opens for reading and writing, unshared, created when missing. On false the thread's
    // last error says why and the file is closed.
    bool open(const wchar_t* path, int mode);
    void close();
    // Writes every byte at the file pointer; false with the last error when not all of them could be written,
    // and then written, when given, tells how many were.
    bool writeAll(const void* bytes, DWORD count) { return writeAll(handle, bytes, count); }
    static bool writeAll(HANDLE file, const void* bytes, DWORD count, DWORD* written = nullptr);
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE getHandle() const { return handle; }

private:
    bool failClosing();

    HANDLE handle = INVALID_HANDLE_VALUE;
};
