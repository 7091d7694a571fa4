#pragma once
// Grey PNG files, which the platform's encoders do not write, put together byte by byte.
#include <windows.h>
#include <functional>
#include "support/HostilePictureFiles.h"

inline void appendPngChunk(Bytes& png, const char* type, const Bytes& data)
{
    putBigEndian(png, static_cast<UINT32>(data.size()), 4);
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian(png, crc32Of(&png[start], png.size() - start), 4);
}

// A grey PNG of 1, 2, 4 or 8 bits whose pixels have the levels (0 to 2^depth - 1) that levelOf(x, y) gives. Its
// data is one uncompressed block: at most 65,535 bytes.
inline Bytes greyPng(int width, int height, int depth, const std::function<int(int, int)>& levelOf)
{
    Bytes header;
    putBigEndian(header, width, 4);
    putBigEndian(header, height, 4);
    header.insert(header.end(), {static_cast<BYTE>(depth), 0, 0, 0, 0});
    // Each row starts with filter 0, none.
    size_t rowBytes = 1 + (width * depth + 7) / 8;
    Bytes raw(rowBytes * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            raw[y * rowBytes + 1 + x * depth / 8] |= static_cast<BYTE>(levelOf(x, y) << (8 - depth - x * depth % 8));
    // A zlib stream of one last stored block (its length and the length's complement, low byte first), then the
    // Adler-32 of the data.
    auto length = static_cast<WORD>(raw.size());
    Bytes zlib = {0x78, 0x01, 1, LOBYTE(length), HIBYTE(length), LOBYTE(~length), HIBYTE(~length)};
    zlib.insert(zlib.end(), raw.begin(), raw.end());
    UINT32 a = 1;
    UINT32 b = 0;
    for (BYTE byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(zlib, b << 16 | a, 4);
    Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    appendPngChunk(png, "IHDR", header);
    appendPngChunk(png, "IDAT", zlib);
    appendPngChunk(png, "IEND", {});
    return png;
}
