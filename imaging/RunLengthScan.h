#pragma once
#include <windows.h>

// A walk over the run-length stream of an RLE8 or RLE4 BMP, without decoding it, to tell before any pixel memory
// is taken whether the stream reaches the end of its picture. Decoders size their memory by the header, not by
// the stream: a few bytes that claim millions of rows and then stop would otherwise cost a full-size picture
// before the decoder finds the stream cut. A stream is whole once it marks the end of the picture, or once its
// ends of lines and moves have passed the last row (the platform's decoders stop there too); runs past the
// width, rows never written and bytes after the end are sound. The stream may come in pieces.
class RunLengthScan {
public:
    // For a picture of the header's depth (4 bits: RLE4) and height.
    explicit RunLengthScan(const BITMAPINFOHEADER& header);

    // Reads the next piece of the stream; once the stream is whole, the rest is not looked at.
    void feed(const BYTE* data, size_t bytes);
    bool isWhole() const { return step == Step::Whole; }

    static bool isRunLength(const BITMAPINFOHEADER& header)
    {
        return header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4;
    }
    // Whether the stream of `bytes` bytes is whole for a picture of the header.
    static bool isWholeStream(const BITMAPINFOHEADER& header, const BYTE* data, size_t bytes);

private:
    enum class Step { Count, RunValue, Escape, DeltaRight, DeltaUp, Pixels, Whole };

    void take(BYTE value);
    void takeEscape(BYTE code);
    void passRows(LONGLONG count);
    // Bytes of an absolute run of the pixels, padded to a 16-bit boundary.
    DWORD pixelBytes(DWORD pixels) const;

    bool fourBits;
    LONGLONG rows;
    LONGLONG row = 0;
    Step step = Step::Count;
    DWORD pixelsLeft = 0;
};
