#pragma once
#include <windows.h>
#include "foundation/Converter.h"

// Pumps one stream into another in chunks, optionally stopping after a byte limit; both directions copy.
class StreamConverter : public Converter {
public:
    // A limit of 0 copies everything.
    StreamConverter(DWORD limit, int chunkSize);

    // Flushes the output; returns the bytes written.
    int convert(InputStream& in, OutputStream& out);
    int encode(InputStream& in, OutputStream& out) override { return convert(in, out); }
    int decode(InputStream& in, OutputStream& out) override { return convert(in, out); }

private:
    DWORD limit;
    int chunkSize;
};
