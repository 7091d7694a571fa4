#pragma once
// BMP files of every header version, depth and compression, put together byte by byte, and the damage that
// hostile BMP files carry: header fields at the ends of their ranges, and cut or flipped bytes.
#include <windows.h>
#include <string>
#include <vector>
#include "Mutator.h"
#include "support/BitFieldBmp.h"

struct NamedBytes {
    std::string name;
    Bytes bytes;
};

inline Bytes seedNamed(const std::vector<NamedBytes>& seeds, const std::string& name)
{
    for (const NamedBytes& seed : seeds)
        if (seed.name == name)
            return seed.bytes;
    return {};
}

struct BmpLayout {
    // 12 (OS/2 core), 40, 52, 56, 64 (OS/2 2.x), 108 (V4) or 124 (V5).
    DWORD headerBytes;
    WORD bitCount;
    DWORD compression;
    // Negative: top-down.
    int height = 3;
};

constexpr int SeedBmpWidth = 5;

// Pixel (x, y from the top): red in the top left, blue elsewhere; as palette index 1 and 0.
inline bool seedIsRed(int x, int y)
{
    return x < 2 && y < 2;
}

// One row in runs: the red pixels (index 1), then the blue ones (index 0), in the top row of an 8-bit picture as
// pixels in absolute mode (padded to a word); then the end of the line.
inline void appendRunRow(Bytes& bytes, WORD bitCount, int rowFromTop)
{
    int redPixels = seedIsRed(0, rowFromTop) ? 2 : 0;
    if (redPixels > 0)
        bytes.insert(bytes.end(), {static_cast<BYTE>(redPixels), static_cast<BYTE>(bitCount == 4 ? 0x11 : 1)});
    BYTE bluePixels = static_cast<BYTE>(SeedBmpWidth - redPixels);
    if (rowFromTop == 0 && bitCount == 8)
        bytes.insert(bytes.end(), {0, bluePixels, 0, 0, 0, 0});
    else
        bytes.insert(bytes.end(), {bluePixels, 0});
    bytes.insert(bytes.end(), {0, 0});
}

inline Bytes seedPixels(const BmpLayout& layout)
{
    int rows = layout.height < 0 ? -layout.height : layout.height;
    Bytes bytes;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        for (int row = 0; row < rows; ++row)
            appendRunRow(bytes, layout.bitCount, rows - 1 - row);
        bytes.insert(bytes.end(), {0, 1});
        return bytes;
    }
    size_t stride = (layout.bitCount * SeedBmpWidth + 31) / 32 * 4;
    for (int row = 0; row < rows; ++row) {
        int y = layout.height < 0 ? row : rows - 1 - row;
        Bytes line(stride, 0);
        for (int x = 0; x < SeedBmpWidth; ++x) {
            bool red = seedIsRed(x, y);
            int bit = x * layout.bitCount;
            if (layout.bitCount < 8)
                line[bit / 8] |= static_cast<BYTE>((red ? 1 : 0) << (8 - layout.bitCount - bit % 8));
            else if (layout.bitCount == 8)
                line[x] = red ? 1 : 0;
            else if (layout.bitCount == 16)
                Mutator::setField(line, x * 2, 2, red ? 0x7C00 : 0x001F);
            else
                Mutator::setField(line, x * layout.bitCount / 8, layout.bitCount / 8, red ? 0xFF0000 : 0x0000FF);
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    return bytes;
}

// A palette or direct-colour BMP file (not bit fields: bitFieldBmpFile makes those).
inline Bytes plainBmpFile(const BmpLayout& layout)
{
    Bytes pixels = seedPixels(layout);
    Bytes info;
    int colours = layout.bitCount <= 8 ? 1 << layout.bitCount : 0;
    if (layout.headerBytes == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core{sizeof(BITMAPCOREHEADER), SeedBmpWidth, static_cast<WORD>(layout.height), 1,
                              layout.bitCount};
        appendBytes(info, &core, sizeof(core));
    } else {
        BITMAPV5HEADER header{};
        header.bV5Size = layout.headerBytes;
        header.bV5Width = SeedBmpWidth;
        header.bV5Height = layout.height;
        header.bV5Planes = 1;
        header.bV5BitCount = layout.bitCount;
        header.bV5Compression = layout.compression;
        header.bV5SizeImage = static_cast<DWORD>(pixels.size());
        // OS/2 headers hold other fields after the first 40 bytes; theirs stay 0.
        if (layout.headerBytes != 64)
            header.bV5CSType = 0x73524742; // 'sRGB'
        Bytes block(layout.headerBytes, 0);
        std::memcpy(block.data(), &header, std::min<size_t>(layout.headerBytes, sizeof(header)));
        info.insert(info.end(), block.begin(), block.end());
    }
    // Blue, red, then greys; a core header's entries have no fourth byte.
    for (int i = 0; i < colours; ++i) {
        BYTE grey = static_cast<BYTE>(i * 255 / (colours - 1));
        RGBQUAD entry = i == 0 ? RGBQUAD{255, 0, 0, 0} : i == 1 ? RGBQUAD{0, 0, 255, 0} : RGBQUAD{grey, grey, grey, 0};
        appendBytes(info, &entry, layout.headerBytes == sizeof(BITMAPCOREHEADER) ? 3 : 4);
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + info.size());
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    Bytes bytes;
    appendBytes(bytes, &file, sizeof(file));
    bytes.insert(bytes.end(), info.begin(), info.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

inline Bytes bitFieldSeed(DWORD headerBytes, WORD bitCount, int height)
{
    BitFieldLayout layout = bitCount == 16 ? BitFieldLayout{headerBytes, 16, 0xF800, 0x07E0, 0x001F, 0}
                                           : BitFieldLayout{headerBytes, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    int rows = height < 0 ? -height : height;
    std::vector<BitFields> pixels;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < SeedBmpWidth; ++x) {
            bool red = seedIsRed(x, y);
            if (bitCount == 16)
                pixels.push_back(red ? BitFields{31, 0, 0} : BitFields{0, 0, 31});
            else
                pixels.push_back(red ? BitFields{255, 0, 0, 255} : BitFields{0, 0, 255, 255});
        }
    return bitFieldBmpFile(layout, SeedBmpWidth, height, pixels);
}

// Every header version with every depth and compression it can hold.
inline std::vector<NamedBytes> bmpSeeds()
{
    std::vector<NamedBytes> seeds;
    auto add = [&](const BmpLayout& layout) {
        std::string name = "bmp" + std::to_string(layout.headerBytes) + "-" + std::to_string(layout.bitCount) + "-c" +
                           std::to_string(layout.compression) + (layout.height < 0 ? "-topdown" : "");
        seeds.push_back({name, plainBmpFile(layout)});
    };
    for (WORD bits : {1, 4, 8, 24})
        add({sizeof(BITMAPCOREHEADER), bits, BI_RGB});
    for (DWORD header : {40u, 52u, 56u, 64u, 108u, 124u}) {
        for (WORD bits : {1, 4, 8, 16, 24, 32})
            add({header, bits, BI_RGB});
        add({header, 8, BI_RLE8});
        add({header, 4, BI_RLE4});
        add({header, 24, BI_RGB, -3});
        add({header, 8, BI_RGB, -3});
        if (header != 64) {
            for (WORD bits : {16, 32}) {
                std::string name = "bmp" + std::to_string(header) + "-" + std::to_string(bits) + "-bitfields";
                seeds.push_back({name, bitFieldSeed(header, bits, 3)});
                seeds.push_back({name + "-topdown", bitFieldSeed(header, bits, -3)});
            }
        }
    }
    return seeds;
}

// Where the fields of the info header lie in a BMP file (the file header takes the first 14 bytes).
struct BmpField {
    size_t offset;
    size_t width;
    std::vector<UINT32> values;
};

inline std::vector<BmpField> bmpFields(const Bytes& bmp)
{
    std::vector<UINT32> sizes = {0, 0x7FFFFFFF, 0xFFFFFFFF, 0x20000000, 0x10000, 0x8000, 1, 2, 6, 0x40000001};
    std::vector<BmpField> fields = {
        {2, 4, {0, 14, 0xFFFFFFFF}},
        {10, 4, {0, 14, 54, 0x7FFFFFFF, 0xFFFFFFFF, 0x10000, static_cast<UINT32>(bmp.size())}},
        {14, 4, {0, 12, 16, 39, 40, 52, 56, 64, 108, 124, 125, 0xFFFFFFFF}},
    };
    if (bmp.size() >= 26 && bmp[14] == sizeof(BITMAPCOREHEADER)) {
        fields.push_back({18, 2, {0, 1, 0xFFFF, 0x8000}});
        fields.push_back({20, 2, {0, 1, 0xFFFF, 0x8000}});
        fields.push_back({22, 2, {0, 2}});
        fields.push_back({24, 2, {0, 2, 16, 32, 0xFFFF}});
        return fields;
    }
    std::vector<UINT32> heights = sizes;
    heights.insert(heights.end(), {0x80000000, static_cast<UINT32>(-1), static_cast<UINT32>(-6), 0x80000001});
    std::vector<BmpField> info = {
        {18, 4, sizes},
        {22, 4, heights},
        {26, 2, {0, 2, 0xFFFF}},
        {28, 2, {0, 1, 2, 4, 8, 16, 24, 32, 48, 64, 0xFFFF}},
        {30, 4, {BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_JPEG, BI_PNG, 6, 11, 12, 13, 0xFFFFFFFF}},
        {34, 4, {0, 1, 0xFFFFFFFF, 0x7FFFFFFF}},
        {38, 4, {0, 0xFFFFFFFF}},
        {46, 4, {0, 1, 2, 15, 16, 17, 255, 256, 257, 0x10000, 0xFFFFFFFF}},
        {50, 4, {0, 0xFFFFFFFF}},
        // The masks of bit-field pictures, after a 40-byte header or inside a longer one.
        {54, 4, {0, 0xFFFFFFFF, 1, 0x80000000, 0xFF00}},
        {58, 4, {0, 0xFFFFFFFF, 0x0000FFFF}},
        {62, 4, {0, 0xFFFFFFFF, 0xF000000F}},
        {66, 4, {0, 0xFFFFFFFF}},
    };
    fields.insert(fields.end(), info.begin(), info.end());
    return fields;
}

// A seed with one to three header fields set to hostile values, sometimes also flipped or cut short.
inline Bytes hostileBmp(Mutator& mutator, const Bytes& seed)
{
    Bytes bytes = seed;
    std::vector<BmpField> fields = bmpFields(seed);
    for (size_t changes = 1 + mutator.below(3); changes > 0; --changes) {
        const BmpField& field = mutator.pick(fields);
        UINT32 value = mutator.chance(80) ? mutator.pick(field.values) : mutator.edgeValue();
        Mutator::setField(bytes, field.offset, field.width, value);
    }
    if (mutator.chance(15))
        mutator.flipBytes(bytes, mutator.chance(50) ? 70 : bytes.size());
    if (mutator.chance(10))
        mutator.truncate(bytes);
    return bytes;
}
