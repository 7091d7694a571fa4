#pragma once
#include <windows.h>
#include <memory>
#include "foundation/InputStream.h"
#include "foundation/OutputStream.h"
#include "foundation/astring.h"
#include "foundation/wstring.h"

// Reads a private copy of a byte block. The stored length, not a terminator, marks the end, so binary data
// with zero bytes passes through whole. Unusable (Exception 1) until opened.
class InputMemoryStream : public InputStream {
public:
    InputMemoryStream() = default;
    InputMemoryStream(const InputMemoryStream&) = delete;
    InputMemoryStream& operator=(const InputMemoryStream&) = delete;

    // Discards what was held; a null pointer or a negative length throws Exception 87.
    void open(const void* bytes, int length);
    void close() override;
    DWORD read(void* buffer, DWORD count, bool& endOfData) override;

private:
    std::unique_ptr<astring> buffer;
    const char* position = nullptr;  // null at the end
    const char* end = nullptr;
};

// Collects written bytes in a zero-filled block that grows by whole steps. Unusable (Exception 1) until opened.
class OutputMemoryStream : public OutputStream {
public:
    explicit OutputMemoryStream(int growthStep = 1024);
    OutputMemoryStream(const OutputMemoryStream&) = delete;
    OutputMemoryStream& operator=(const OutputMemoryStream&) = delete;

    // Discards what was held and starts empty.
    void open();
    void close() override;
    DWORD write(const void* bytes, DWORD count) override;
    void flush() override;

    // The written bytes as UTF-16 text, up to the first zero unit or the end of what was written.
    wstring getText() const;
    // The written bytes; null when the stream is not open. A zero byte always follows them.
    const char* getBuffer() const { return buffer ? buffer->buffer() : nullptr; }
    int getLength() const { return length; }
    int getCapacity() const { return capacity; }

private:
    void requireOpen() const;

    std::unique_ptr<astring> buffer;
    int length = 0;
    int capacity = 0;
    int growthStep;
};
