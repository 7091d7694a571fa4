#pragma once
// Grey PNG files, which the platform's encoders do not write, put together byte by byte.
#include <windows.h>
#include <functional>
#include "support/PngChunks.h"

// A grey PNG of 1, 2, 4 or 8 bits whose pixels have the levels (0 to 2^depth - 1) that levelOf(x, y) gives, its data
// uncompressed.
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
    Bytes zlib = storedZlib(raw);
    Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    appendPngChunk(png, "IHDR", header);
    appendPngChunk(png, "IDAT", zlib);
    appendPngChunk(png, "IEND", {});
    return png;
}
