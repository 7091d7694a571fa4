#pragma once
#include <windows.h>
#include "foundation/InputStream.h"
#include "foundation/OutputStream.h"

// One byte at a time from a stream, for the byte-coding converters: false once the stream reports its end.
class ByteReader {
public:
    explicit ByteReader(InputStream& in) : in(in) {}
    bool next(BYTE& byte)
    {
        bool endOfData = false;
        DWORD got = in.read(&byte, 1, endOfData);
        return got == 1 && !endOfData;
    }

private:
    InputStream& in;
};

// Writes bytes to a stream and counts what it accepted.
class ByteWriter {
public:
    explicit ByteWriter(OutputStream& out) : out(out) {}
    void put(BYTE byte) { written += static_cast<int>(out.write(&byte, 1)); }
    void put(BYTE first, BYTE second)
    {
        const BYTE pair[] = {first, second};
        written += static_cast<int>(out.write(pair, 2));
    }
    void put(BYTE first, BYTE second, BYTE third)
    {
        const BYTE triple[] = {first, second, third};
        written += static_cast<int>(out.write(triple, 3));
    }
    int count() const { return written; }

private:
    OutputStream& out;
    int written = 0;
};
