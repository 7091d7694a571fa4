#pragma once
// BMP files and packed DIBs with bit-field masks, put together byte by byte as other programs write them.
#include <windows.h>
#include <cstring>
#include <vector>
#include "support/fileBytes.h"

struct BitFieldLayout {
    DWORD headerBytes; // 40 (the masks follow the header), 52, 56, 108 or 124 (the masks inside it)
    WORD bitCount;     // 16 or 32
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha; // only headers of 56 bytes and more hold one
};

// One pixel as the value of each channel within its own mask.
struct BitFields {
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha = 0;
};

inline DWORD placedInMask(DWORD value, DWORD mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    return value << shift & mask;
}

inline void appendBytes(Bytes& bytes, const void* data, size_t count)
{
    auto start = static_cast<const BYTE*>(data);
    bytes.insert(bytes.end(), start, start + count);
}

// The header with its masks, then the rows; `pixels` lists the rows from the top. A negative height makes a
// top-down picture. `trailing` follows the pixels (a colour profile, say).
inline Bytes packedBitFieldDib(const BitFieldLayout& layout, int width, int height,
                               const std::vector<BitFields>& pixels, const Bytes& trailing = {})
{
    BITMAPV5HEADER header{};
    header.bV5Size = layout.headerBytes;
    header.bV5Width = width;
    header.bV5Height = height;
    header.bV5Planes = 1;
    header.bV5BitCount = layout.bitCount;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = layout.red;
    header.bV5GreenMask = layout.green;
    header.bV5BlueMask = layout.blue;
    header.bV5AlphaMask = layout.alpha;
    header.bV5CSType = 0x73524742; // 'sRGB'
    int rows = height < 0 ? -height : height;
    DWORD stride = (layout.bitCount * width + 31) / 32 * 4;
    header.bV5SizeImage = stride * rows;
    Bytes bytes;
    if (layout.headerBytes == sizeof(BITMAPINFOHEADER)) {
        appendBytes(bytes, &header, sizeof(BITMAPINFOHEADER));
        appendBytes(bytes, &header.bV5RedMask, 3 * sizeof(DWORD));
    } else {
        appendBytes(bytes, &header, layout.headerBytes);
    }
    for (int row = 0; row < rows; ++row) {
        // Bottom-up files begin with the bottom row.
        int top = height < 0 ? row : rows - 1 - row;
        Bytes line(stride, 0);
        for (int x = 0; x < width; ++x) {
            const BitFields& p = pixels[static_cast<size_t>(top) * width + x];
            DWORD value = placedInMask(p.red, layout.red) | placedInMask(p.green, layout.green) |
                          placedInMask(p.blue, layout.blue) | placedInMask(p.alpha, layout.alpha);
            std::memcpy(&line[static_cast<size_t>(x) * layout.bitCount / 8], &value, layout.bitCount / 8);
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    bytes.insert(bytes.end(), trailing.begin(), trailing.end());
    return bytes;
}

// The same behind a BMP file header whose pixel offset points `gap` bytes after the masks.
inline Bytes bitFieldBmpFile(const BitFieldLayout& layout, int width, int height, const std::vector<BitFields>& pixels,
                             const Bytes& trailing = {}, DWORD gap = 0)
{
    Bytes packed = packedBitFieldDib(layout, width, height, pixels, trailing);
    DWORD infoBytes = layout.headerBytes + (layout.headerBytes == sizeof(BITMAPINFOHEADER) ? 3 * sizeof(DWORD) : 0);
    packed.insert(packed.begin() + infoBytes, gap, 0xA5);
    infoBytes += gap;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof(file) + packed.size());
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + infoBytes);
    Bytes bytes;
    appendBytes(bytes, &file, sizeof(file));
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    return bytes;
}
