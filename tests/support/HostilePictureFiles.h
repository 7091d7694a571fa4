#pragma once
// Picture files of forms that no real picture has and that crash or stall the platform's decoders, made from
// nothing or from a sound file of the format.
#include <windows.h>
#include <algorithm>
#include <iterator>
#include <utility>
#include "support/FlatJpeg.h"
#include "support/PngChunks.h"

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

// A progressive grey frame of 8192 x 16384 pixels whose first scan holds a byte for each 64 blocks, followed by
// scans without data, each of which the decoder passes over every block for.
inline Bytes endlessScans(int emptyScans)
{
    Bytes jpeg = jpegHeaders(0xC2, 8192, 16384, 1);
    appendJpegScan(jpeg, {1}, 0, 0, 0, Bytes(33000, 0));
    for (int i = 0; i < emptyScans; ++i)
        appendJpegScan(jpeg, {1}, 1, 63, 0, {});
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// A frame of 8192 x 16384 pixels whose scan holds a byte for each 1,000 blocks, padded to one for each 64 by a
// comment after the frame header or by zeros after the end of the picture.
inline Bytes paddedScan(bool comment)
{
    Bytes jpeg = jpegHeaders(0xC0, 8192, 16384, 3);
    if (comment)
        appendJpegSegment(jpeg, 0xFE, Bytes(33000, 0));
    appendJpegScan(jpeg, {1, 2, 3}, 0, 63, 0, Bytes(2000, 0));
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    jpeg.insert(jpeg.end(), comment ? 0 : 33000, 0);
    return jpeg;
}

// A zlib stream of `size` zeros, as tightly as deflate codes them: one block whose own codes give a match of 258
// bytes at distance 1 two bits, 65 KB for 64 MB.
inline Bytes deflatedZeros(UINT32 size)
{
    Bytes zlib = {0x78, 0x01};
    int used = 0;
    // Values go in from their lowest bit, Huffman codes from their highest.
    auto put = [&](UINT32 value, int bits, bool code = false) {
        for (int i = 0; i < bits; ++i, ++used) {
            if (used % 8 == 0)
                zlib.push_back(0);
            zlib.back() |= static_cast<BYTE>((value >> (code ? bits - 1 - i : i) & 1) << used % 8);
        }
    };
    // The last block, of its own codes: 286 literal and length codes, one distance code, 18 code-length codes.
    put(1, 1);
    put(2, 2);
    put(29, 5);
    put(0, 5);
    put(14, 4);
    // In their order 16, 17, 18, 0, 8 ... 2, 14, 1: "0" for a run of zeros (code 18), "10" for 1, "11" for 2.
    for (int length : {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2})
        put(length, 3);
    auto zeros = [&](int count) { put(0, 1, true), put(count - 11, 7); };
    // The literal 0 and the end of the block of two bits, the length 258 of one, the distance 1 of one.
    put(3, 2, true), zeros(138), zeros(117), put(3, 2, true), zeros(28), put(2, 2, true), put(2, 2, true);
    // The literal 0 ("10"), matches ("0", "0") and the end ("11").
    put(2, 2, true);
    for (UINT32 i = 0; i < (size - 1) / 258; ++i)
        put(0, 2);
    for (UINT32 i = 0; i < (size - 1) % 258; ++i)
        put(2, 2, true);
    put(3, 2, true);
    putBigEndian(zlib, (size % 65521) << 16 | 1, 4);
    return zlib;
}

// The PNG with `count` text chunks of the type (zTXt, or iTXt compressed) of 64 MB of zeros each.
inline Bytes withTextBombs(const Bytes& png, int count, const char* type)
{
    Bytes bombed = png;
    Bytes zeros = deflatedZeros(64 << 20);
    for (int i = 0; i < count; ++i)
        bombed = withCompressedText(bombed, type, zeros);
    return bombed;
}
