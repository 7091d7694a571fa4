#include "imaging/gifBlocks.h"
#include <new>

using namespace GifBlock;

namespace {

constexpr BYTE ControlBlockSize = 4;
constexpr size_t ScreenPackedAt = 10;
constexpr size_t ImagePackedAt = 9;
constexpr size_t ControlPackedAt = 3;
constexpr size_t ControlIndexAt = 6;

// Moves past a run of data sub-blocks and its terminator; false when the data ends first.
bool skipSubBlocks(const std::vector<BYTE>& gif, size_t& position)
{
    while (position < gif.size()) {
        BYTE length = gif[position++];
        if (length == 0)
            return true;
        position += length;
    }
    return false;
}

bool isControl(const std::vector<BYTE>& gif, size_t position)
{
    return position + ControlBytes <= gif.size() && gif[position + 1] == GraphicControlLabel &&
           gif[position + 2] == ControlBlockSize;
}

bool entryHas(const BYTE* table, size_t index, COLORREF color)
{
    const BYTE* entry = table + index * 3;
    return RGB(entry[0], entry[1], entry[2]) == color;
}

bool invalidData()
{
    SetLastError(ERROR_INVALID_DATA);
    return false;
}

} // namespace

size_t gifTableBytes(BYTE packed)
{
    return static_cast<size_t>(3) << ((packed & 7) + 1);
}

int gifColorIndex(const BYTE* table, size_t entries, COLORREF color)
{
    if (!table || color == CLR_INVALID)
        return -1;
    for (size_t i = 0; i < entries; ++i)
        if (entryHas(table, i, color))
            return static_cast<int>(i);
    return -1;
}

bool findGifPicture(const std::vector<BYTE>& gif, GifPicture& picture)
{
    picture = GifPicture();
    if (gif.size() < ScreenBytes || gif[0] != 'G' || gif[1] != 'I' || gif[2] != 'F')
        return false;
    size_t position = ScreenBytes;
    BYTE screenPacked = gif[ScreenPackedAt];
    if (screenPacked & ColorTableFlag) {
        picture.globalTable = position;
        picture.globalTableBytes = gifTableBytes(screenPacked);
        position += picture.globalTableBytes;
    }
    while (position + 1 < gif.size() && gif[position] == ExtensionIntroducer) {
        if (isControl(gif, position))
            picture.control = position;
        position += 2;
        if (!skipSubBlocks(gif, position))
            return false;
    }
    if (position + ImageDescriptorBytes + 1 > gif.size() || gif[position] != ImageSeparator)
        return false;
    picture.imageStart = position;
    BYTE imagePacked = gif[position + ImagePackedAt];
    position += ImageDescriptorBytes;
    picture.table = picture.globalTable;
    picture.tableBytes = picture.globalTableBytes;
    if (imagePacked & ColorTableFlag) {
        picture.table = position;
        picture.tableBytes = gifTableBytes(imagePacked);
        position += picture.tableBytes;
    }
    // The code size byte of the compressed data, then its blocks.
    position += 1;
    if (!skipSubBlocks(gif, position))
        return false;
    picture.imageEnd = position;
    return true;
}

bool markGifTransparentColor(std::vector<BYTE>& gif, COLORREF color)
{
    GifPicture picture;
    if (!findGifPicture(gif, picture))
        return invalidData();
    const BYTE* table = picture.table ? gif.data() + picture.table : nullptr;
    size_t entries = picture.tableBytes / 3;
    int index = gifColorIndex(table, entries, color);
    if (index < 0)
        return true;
    if (picture.control) {
        BYTE* control = gif.data() + picture.control;
        BYTE marked = control[ControlIndexAt];
        if ((control[ControlPackedAt] & TransparencyFlag) && marked < entries && entryHas(table, marked, color))
            return true;
        control[ControlPackedAt] |= TransparencyFlag;
        control[ControlIndexAt] = static_cast<BYTE>(index);
        return true;
    }
    const BYTE control[ControlBytes] = {ExtensionIntroducer,
                                        GraphicControlLabel,
                                        ControlBlockSize,
                                        TransparencyFlag,
                                        0,
                                        0,
                                        static_cast<BYTE>(index),
                                        0};
    try {
        gif.insert(gif.begin() + static_cast<std::ptrdiff_t>(picture.imageStart), control, control + ControlBytes);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // Extensions came with version 89a of the format.
    gif[4] = '9';
    gif[5] = 'a';
    return true;
}
