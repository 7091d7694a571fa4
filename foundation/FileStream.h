#pragma once
#include <windows.h>
#include "foundation/File.h"
#include "foundation/InputStream.h"
#include "foundation/OutputStream.h"

// A stream over a file; open reopens it on another path and throws Exception with the system's error.
class BaseFile {
public:
    BaseFile() = default;
    BaseFile(const BaseFile&) = delete;
    BaseFile& operator=(const BaseFile&) = delete;
    virtual ~BaseFile() = default;
    virtual void open(const wchar_t* path) = 0;

protected:
    void openOrThrow(const wchar_t* path, int mode);
    // The handle of an open file; a closed one throws Exception 6 (invalid handle).
    HANDLE openHandle() const;

    File file;
};

class InputFileStream : public BaseFile, public InputStream {
public:
    explicit InputFileStream(const wchar_t* path);

    void open(const wchar_t* path) override;
    void close() override { file.close(); }
    // The whole buffer is zero-filled first, so a short read leaves zeros after the data.
    DWORD read(void* buffer, DWORD count, bool& endOfData) override;
};

class OutputFileStream : public BaseFile, public OutputStream {
public:
    // Creates or truncates the file; no one else may open it meanwhile.
    explicit OutputFileStream(const wchar_t* path);
    // As above, but other programs may read the file while it is written. The two numbers are not used.
    OutputFileStream(const wchar_t* path, int, int);

    void open(const wchar_t* path) override;
    void close() override { file.close(); }
    // Every byte, or Exception with the system's reason.
    DWORD write(const void* buffer, DWORD count) override;
    void flush() override;
};
