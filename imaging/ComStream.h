#pragma once
#include <windows.h>
#include <objidl.h>
#include "foundation/InputStream.h"
#include "foundation/OutputStream.h"

// Reads an IStream as an InputStream. The wrapper owns one reference to the stream and releases it when closed
// or destroyed. Every operation but close throws Exception 1 when no stream is held.
class InputComStream : public InputStream {
public:
    // Takes over the caller's reference; null gives an empty wrapper.
    explicit InputComStream(IStream* stream = nullptr) : stream(stream) {}
    InputComStream(const InputComStream&) = delete;
    InputComStream& operator=(const InputComStream&) = delete;
    ~InputComStream() override { close(); }

    // Takes over the caller's reference; a held stream is released first.
    void attach(IStream* other);
    void close() override;
    // The buffer is zero-filled before the read; a short read sets the end flag. A count of 0 touches nothing.
    DWORD read(void* buffer, DWORD count, bool& endOfData) override;
    void rewind();
    // Origin STREAM_SEEK_SET, STREAM_SEEK_CUR or STREAM_SEEK_END; returns the new position.
    ULONGLONG seek(LONGLONG offset, DWORD origin);

    IStream* get() const { return stream; }

private:
    IStream* requireStream() const;

    IStream* stream;
};

// Writes into an IStream: a memory stream of its own (ComMemoryStream) or one it is given. Write and flush throw
// Exception 1 until there is a stream.
class OutputComStream : public OutputStream {
public:
    OutputComStream() = default;
    OutputComStream(const OutputComStream&) = delete;
    OutputComStream& operator=(const OutputComStream&) = delete;
    ~OutputComStream() override { close(); }

    // Releases a held stream and starts a new empty one; no memory throws Exception 8.
    void create();
    // Takes over the caller's reference to a stream of its own (a file's); a held stream is released first.
    void attach(IStream* other);
    void close() override;
    DWORD write(const void* buffer, DWORD count) override;
    void flush() override;

    // The held stream, still owned by the wrapper; null when there is none.
    IStream* get() const { return stream; }
    // Hands the held reference to the caller; the wrapper is empty afterwards.
    IStream* detach();

private:
    IStream* stream = nullptr;
};

// Moves a stream's position to its start; a null stream throws Exception 87, a failing seek its HRESULT.
void rewindComStream(IStream* stream);

// A read-only stream holding its own copy of the bytes, positioned at its start; no memory throws Exception 8.
// Decoders read untrusted files through it: a read past its end gives nothing, where Wine's streams on global
// memory read on past the block.
IStream* createMemoryStream(const void* bytes, UINT size);
