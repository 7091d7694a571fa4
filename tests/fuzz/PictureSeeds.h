#pragma once
// PNG, GIF, TIFF, JPEG and TGA files as the platform's encoders write them, and a big-endian TIFF, and the damage
// each format's hostile files carry in its own structures: sizes, depths and counts at the ends of their ranges
// (PNG chunks keep a valid checksum, so that the decoder reads on), floods of text chunks, colour tables cut
// out, then cut or flipped bytes.
#include <windows.h>
#include <string>
#include <vector>
#include "BmpSeeds.h"
#include "Mutator.h"
#include "imaging/gifBlocks.h"
#include "support/HostilePictureFiles.h"
#include "support/SamplePictures.h"
#include "support/ScratchFolder.h"

inline std::vector<NamedBytes> pictureSeeds()
{
    ScratchFolder folder(L"korvilane-fuzz-seeds");
    std::vector<NamedBytes> seeds;
    auto keep = [&](const char* name, const std::wstring& path) { seeds.push_back({name, readBytes(path)}); };
    auto wic = [&](const char* name, const GUID& container, std::initializer_list<IWICBitmap*> frames) {
        std::wstring path = folder.file(std::wstring(name, name + strlen(name)));
        writeWicFile(path, container, frames);
        keep(name, path);
    };
    wic("1.png", GUID_ContainerFormatPng, {indexedSample(1)});
    wic("8.png", GUID_ContainerFormatPng, {indexedSample(8, 0x80FF0000u)});
    wic("24.png", GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false)});
    wic("32.png", GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat32bppBGRA, 4, 1, false)});
    wic("64.png", GUID_ContainerFormatPng, {deepSample(GUID_WICPixelFormat64bppRGBA, 4, 2, true)});
    wic("8.gif", GUID_ContainerFormatGif, {indexedSample(8)});
    wic("24.jpg", GUID_ContainerFormatJpeg, {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false)});
    wic("3.tif", GUID_ContainerFormatTiff,
        {deepSample(GUID_WICPixelFormat24bppBGR, 3, 1, false), indexedSample(8), indexedSample(1)});
    keep("24.tga", writeTga(folder.file(L"24.tga")));
    seeds.push_back({"8-big-endian.tif", bigEndianTiff()});
    return seeds;
}

inline UINT32 bigEndian32(const Bytes& bytes, size_t offset)
{
    return static_cast<UINT32>(bytes[offset]) << 24 | bytes[offset + 1] << 16 | bytes[offset + 2] << 8 |
           bytes[offset + 3];
}

// PNG: the header's size, depth, colour type and interlacing, or any chunk's data, each with its checksum
// made right again; sometimes a chunk length that the file does not hold.
inline void damagePng(Mutator& mutator, Bytes& png)
{
    std::vector<size_t> chunks;
    for (size_t at = 8; at + 12 <= png.size(); at += 12 + bigEndian32(png, at))
        chunks.push_back(at);
    if (chunks.empty())
        return;
    if (mutator.chance(10)) {
        png = withChunks(png, mutator.pick({5000, 20000}));
        return;
    }
    size_t chunk = mutator.chance(60) ? chunks.front() : mutator.pick(chunks);
    size_t length = bigEndian32(png, chunk);
    if (mutator.chance(15)) {
        Mutator::setFieldBigEndian(png, chunk, 4, mutator.edgeValue());
        return;
    }
    size_t data = chunk + 8;
    if (chunk == chunks.front() && length >= 13) {
        switch (mutator.below(5)) {
        case 0:
            Mutator::setFieldBigEndian(png, data, 4, mutator.edgeValue());
            break;
        case 1:
            Mutator::setFieldBigEndian(png, data + 4, 4, mutator.edgeValue());
            break;
        case 2:
            png[data + 8] = mutator.pick<BYTE>({0, 1, 2, 3, 4, 8, 16, 32, 255});
            break;
        case 3:
            png[data + 9] = mutator.pick<BYTE>({0, 1, 2, 3, 4, 5, 6, 7, 255});
            break;
        default:
            png[data + 12] = mutator.pick<BYTE>({0, 1, 2, 255});
        }
    } else if (length > 0 && data + length <= png.size()) {
        Bytes part(png.begin() + data, png.begin() + data + length);
        mutator.flipBytes(part, part.size());
        std::copy(part.begin(), part.end(), png.begin() + data);
    }
    if (data + length + 4 <= png.size())
        Mutator::setFieldBigEndian(png, data + length, 4, crc32Of(&png[chunk + 4], length + 4));
}

// A GIF's colour table of the flags at `packed`, cut out with its flag.
inline void dropColourTable(Bytes& gif, size_t packed, size_t table)
{
    if (packed >= gif.size() || !(gif[packed] & 0x80))
        return;
    size_t bytes = std::min(gifTableBytes(gif[packed]), gif.size() - table);
    gif.erase(gif.begin() + static_cast<std::ptrdiff_t>(table),
              gif.begin() + static_cast<std::ptrdiff_t>(table + bytes));
    gif[packed] &= 0x7F;
}

// GIF: the screen and image sizes, the colour-table flags (or the tables themselves), the code size and the
// sub-block lengths.
inline void damageGif(Mutator& mutator, Bytes& gif)
{
    if (gif.size() < 13)
        return;
    GifPicture first;
    size_t at = findGifPicture(gif, first) ? first.imageStart : gif.size();
    bool image = at + 11 < gif.size() && gif[at] == 0x2C;
    UINT32 size = mutator.pick<UINT32>({0, 1, 0xFFFF, 0x8000, 0x7FFF, 0x1000});
    if (image && mutator.chance(25)) {
        dropColourTable(gif, at + 9, at + 10);
        dropColourTable(gif, 10, 13);
        return;
    }
    switch (mutator.below(image ? 6 : 2)) {
    case 0:
        Mutator::setField(gif, mutator.chance(50) ? 6 : 8, 2, size);
        break;
    case 1:
        gif[10] = static_cast<BYTE>(mutator.next());
        break;
    case 2:
        Mutator::setField(gif, at + 1 + 2 * mutator.below(4), 2, size);
        break;
    case 3:
        gif[at + 9] = static_cast<BYTE>(mutator.next());
        break;
    case 4:
        gif[at + 10] = mutator.pick<BYTE>({0, 1, 2, 8, 11, 12, 13, 255});
        break;
    default:
        gif[at + 11] = mutator.pick<BYTE>({0, 1, 254, 255});
    }
}

// TIFF of either byte order: one directory entry's type, count (lying ones among them) or value (sizes,
// depths, strip places and lengths), or the offset of a directory, which may then point back at one already
// read.
inline void damageTiff(Mutator& mutator, Bytes& tiff)
{
    if (tiff.size() < 8)
        return;
    bool bigEndian = tiff[0] == 'M';
    auto field = [&](size_t offset, size_t width) {
        UINT32 value = 0;
        for (size_t i = 0; i < width; ++i)
            value |= static_cast<UINT32>(tiff[offset + i]) << (8 * (bigEndian ? width - 1 - i : i));
        return value;
    };
    auto set = [&](size_t offset, size_t width, UINT32 value) {
        bigEndian ? Mutator::setFieldBigEndian(tiff, offset, width, value)
                  : Mutator::setField(tiff, offset, width, value);
    };
    std::vector<size_t> directories;
    UINT32 next = field(4, 4);
    while (next && next + 2 <= tiff.size() && directories.size() < 8) {
        directories.push_back(next);
        size_t end = next + 2 + 12 * field(next, 2);
        if (end + 4 > tiff.size())
            break;
        next = field(end, 4);
    }
    if (directories.empty())
        return;
    size_t directory = mutator.pick(directories);
    size_t entries = field(directory, 2);
    if (entries == 0 || mutator.chance(10)) {
        size_t end = directory + 2 + 12 * entries;
        set(end, 4, mutator.chance(50) ? static_cast<UINT32>(directories.front()) : mutator.edgeValue());
        return;
    }
    size_t entry = directory + 2 + 12 * mutator.below(entries);
    switch (mutator.below(4)) {
    case 0:
        set(entry + 2, 2, mutator.pick<UINT32>({0, 1, 3, 4, 5, 12, 13, 0xFFFF}));
        break;
    case 1:
        if (mutator.chance(50)) {
            // RATIONALs or SHORTs whose bytes wrap to nothing in 32 bits, from a place inside the file.
            bool rationals = mutator.chance(50);
            set(entry + 2, 2, rationals ? 5 : 3);
            set(entry + 4, 4, rationals ? 0x20000000 : 0x80000000);
            set(entry + 8, 4, 8);
        } else {
            set(entry + 4, 4, mutator.edgeValue());
        }
        break;
    default:
        set(entry + 8, mutator.chance(50) ? 2 : 4, mutator.edgeValue());
    }
}

// JPEG: the frame's precision, size, components and sampling, or a marker segment's length.
inline void damageJpeg(Mutator& mutator, Bytes& jpeg)
{
    std::vector<size_t> segments;
    size_t frame = 0;
    for (size_t at = 2; at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA;) {
        segments.push_back(at);
        if (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2)
            frame = at;
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    if (frame && frame + 13 <= jpeg.size() && mutator.chance(70)) {
        switch (mutator.below(5)) {
        case 0:
            jpeg[frame + 4] = mutator.pick<BYTE>({0, 1, 12, 16, 255});
            break;
        case 1:
        case 2:
            Mutator::setFieldBigEndian(jpeg, frame + 5 + 2 * mutator.below(2), 2,
                                       mutator.pick<UINT32>({0, 1, 0xFFFF, 0x8000}));
            break;
        case 3:
            jpeg[frame + 9] = mutator.pick<BYTE>({0, 2, 4, 255});
            break;
        default:
            jpeg[frame + 11] = mutator.pick<BYTE>({0, 0x44, 0xFF, 0x41, 0x14});
        }
        return;
    }
    if (!segments.empty())
        Mutator::setFieldBigEndian(jpeg, mutator.pick(segments) + 2, 2, mutator.pick<UINT32>({0, 1, 2, 0xFFFF}));
}

// A seed of any format with its own structure damaged, sometimes also flipped or cut short.
inline Bytes hostilePicture(Mutator& mutator, const NamedBytes& seed)
{
    Bytes bytes = seed.bytes;
    const std::string& name = seed.name;
    std::string extension = name.substr(name.rfind('.') + 1);
    if (extension == "png")
        damagePng(mutator, bytes);
    else if (extension == "gif")
        damageGif(mutator, bytes);
    else if (extension == "tif")
        damageTiff(mutator, bytes);
    else if (extension == "jpg")
        damageJpeg(mutator, bytes);
    if (extension == "tga" || mutator.chance(20))
        mutator.flipBytes(bytes, mutator.chance(50) ? 64 : bytes.size());
    if (mutator.chance(10))
        mutator.truncate(bytes);
    return bytes;
}
