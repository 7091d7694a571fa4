#pragma once
// PNG chunks put together byte by byte, and files of forms that the platform's encoders do not write: animations
// and text.
#include <windows.h>
#include <algorithm>
#include <initializer_list>
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

inline void appendPngChunk(Bytes& png, const char* type, const Bytes& data)
{
    putBigEndian(png, static_cast<UINT32>(data.size()), 4);
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian(png, crc32Of(&png[start], png.size() - start), 4);
}

// A zlib stream of the data in stored blocks (each with its length and the length's complement, low byte first),
// then the Adler-32 of the data.
inline Bytes storedZlib(const Bytes& data)
{
    Bytes zlib = {0x78, 0x01};
    for (size_t at = 0; at < data.size() || at == 0; at += 0xFFFF) {
        auto length = static_cast<WORD>(std::min<size_t>(data.size() - at, 0xFFFF));
        zlib.insert(zlib.end(), {BYTE(at + length == data.size()), LOBYTE(length), HIBYTE(length), LOBYTE(~length),
                                 HIBYTE(~length)});
        zlib.insert(zlib.end(), data.begin() + at, data.begin() + at + length);
    }
    UINT32 a = 1;
    UINT32 b = 0;
    for (BYTE byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(zlib, b << 16 | a, 4);
    return zlib;
}

// An animation of RGBA frames of the size, each of its own colour, whose first frame is the picture; each frame's
// data is split over `pieces` chunks.
inline Bytes animatedPng(int frames, int width, int height, int pieces = 1)
{
    Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    Bytes header;
    putBigEndian(header, width, 4);
    putBigEndian(header, height, 4);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    appendPngChunk(png, "IHDR", header);
    Bytes control;
    putBigEndian(control, frames, 4);
    putBigEndian(control, 0, 4);
    appendPngChunk(png, "acTL", control);
    UINT32 sequence = 0;
    for (int frame = 0; frame < frames; ++frame) {
        control.clear();
        for (UINT32 value : {sequence++, UINT32(width), UINT32(height), 0u, 0u, 0x00010064u, 0u})
            putBigEndian(control, value, 4);
        control.resize(26);
        appendPngChunk(png, "fcTL", control);
        Bytes rows;
        for (int y = 0; y < height; ++y) {
            rows.push_back(0);
            for (int x = 0; x < width; ++x)
                putBigEndian(rows, 0x000000FFu | static_cast<UINT32>(frame) * 0x9E3779B1u << 8, 4);
        }
        Bytes zlib = storedZlib(rows);
        for (int piece = 0; piece < pieces; ++piece) {
            Bytes data;
            if (frame > 0)
                putBigEndian(data, sequence++, 4);
            data.insert(data.end(), zlib.begin() + zlib.size() * piece / pieces,
                        zlib.begin() + zlib.size() * (piece + 1) / pieces);
            appendPngChunk(png, frame > 0 ? "fdAT" : "IDAT", data);
        }
    }
    appendPngChunk(png, "IEND", {});
    return png;
}

// The PNG with a text chunk of the type (zTXt, or iTXt compressed) after its header chunk, holding the zlib
// stream.
inline Bytes withCompressedText(const Bytes& png, const char* type, const Bytes& zlib)
{
    bool international = type[0] == 'i';
    Bytes data = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
    data.insert(data.end(), international ? std::initializer_list<BYTE>{1, 0, 0, 0} : std::initializer_list<BYTE>{0});
    data.insert(data.end(), zlib.begin(), zlib.end());
    Bytes text(png.begin(), png.begin() + 33);
    appendPngChunk(text, type, data);
    text.insert(text.end(), png.begin() + 33, png.end());
    return text;
}
