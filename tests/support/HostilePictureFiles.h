#pragma once
// Picture files of forms that no real picture has and that crash or stall the platform's decoders, made from
// nothing or from a sound file of the format.
#include <windows.h>
#include <algorithm>
#include <iterator>
#include <utility>
#include "support/fileBytes.h"

inline UINT32 crc32Of(const BYTE* data, size_t length)
{
    UINT32 crc = 0xFFFFFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

inline void putBigEndian(Bytes& bytes, UINT32 value, int width)
{
    for (int i = width - 1; i >= 0; --i)
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

// A GIF of one pixel with neither a global colour table nor one of its frame's own.
inline Bytes gifWithoutColourTables()
{
    return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
}

// A big-endian TIFF of one grey pixel at 72 dpi. The entry of the tag, when it has one, claims values whose byte
// count wraps to 0 in 32 bits (2^29 RATIONALs of the resolution at 282, 2^31 SHORTs of the resolution unit at
// 296), from an offset inside the file.
inline Bytes bigEndianTiff(WORD lyingTag = 0)
{
    // Tag, type and value; the resolution lies at 158, past the directory, and the pixel after it.
    const UINT32 entries[][3] = {{256, 3, 1}, {257, 3, 1}, {258, 3, 8}, {259, 3, 1},   {262, 3, 1},   {273, 4, 166},
                                 {277, 3, 1}, {278, 3, 1}, {279, 4, 1}, {282, 5, 158}, {283, 5, 158}, {296, 3, 2}};
    Bytes tiff = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, static_cast<BYTE>(std::size(entries))};
    for (auto [tag, type, value] : entries) {
        putBigEndian(tiff, tag << 16 | type, 4);
        putBigEndian(tiff, tag == lyingTag ? static_cast<UINT32>(0x100000000ULL / (type == 3 ? 2 : 8)) : 1, 4);
        // A single SHORT lies in the first half of the value field.
        putBigEndian(tiff, tag == lyingTag ? 158 : type == 3 ? value << 16 : value, 4);
    }
    for (UINT32 value : {0, 72, 1})
        putBigEndian(tiff, value, 4);
    tiff.push_back(0x80);
    return tiff;
}

// The PNG with `count` chunks of the type (text, unless another is given) after its header chunk.
inline Bytes withChunks(const Bytes& png, int count, const char* type = "tEXt")
{
    Bytes chunk;
    putBigEndian(chunk, 3, 4);
    chunk.insert(chunk.end(), {BYTE(type[0]), BYTE(type[1]), BYTE(type[2]), BYTE(type[3]), 'a', 0, 'b'});
    putBigEndian(chunk, crc32Of(&chunk[4], 7), 4);
    const size_t headerEnd = 8 + 25;
    Bytes flooded(png.begin(), png.begin() + headerEnd);
    for (int i = 0; i < count; ++i)
        flooded.insert(flooded.end(), chunk.begin(), chunk.end());
    flooded.insert(flooded.end(), png.begin() + headerEnd, png.end());
    return flooded;
}

// The JPEG with its frame header declaring the size, after the bytes put in before it. An arithmetic-coded frame
// gets scans of zeros (after the scan header of its three components), which its decoder reads as a flat picture.
inline Bytes declaringSize(Bytes jpeg, WORD width, WORD height, const Bytes& beforeFrame = {}, bool arithmetic = false)
{
    size_t at = 2;
    while (at + 9 < jpeg.size() && (jpeg[at + 1] < 0xC0 || jpeg[at + 1] > 0xC2))
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    if (at + 9 < jpeg.size())
        for (auto [offset, value] : {std::pair{5, height >> 8}, {6, height}, {7, width >> 8}, {8, width}})
            jpeg[at + offset] = static_cast<BYTE>(value);
    const BYTE scan[] = {0xFF, 0xDA};
    if (arithmetic) {
        jpeg[at + 1] = 0xC9;
        std::fill(std::search(jpeg.begin() + at, jpeg.end() - 2, scan, scan + 2) + 14, jpeg.end() - 2, 0);
    }
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), beforeFrame.begin(), beforeFrame.end());
    return jpeg;
}
