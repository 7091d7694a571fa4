#include "imaging/AnimeGifFileGenerator.h"
#include <memory>
#include <vector>
#include "foundation/ComPtr.h"
#include "imaging/ColorReduction.h"
#include "imaging/Dib.h"
#include "imaging/DibConversion.h"
#include "imaging/gdipImageIO.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr BYTE ExtensionIntroducer = 0x21;
constexpr BYTE GraphicControlLabel = 0xF9;
constexpr BYTE ImageSeparator = 0x2C;
constexpr BYTE Trailer = 0x3B;
constexpr BYTE ColorTableFlag = 0x80;
constexpr BYTE InterlaceFlag = 0x40;
constexpr BYTE TransparencyFlag = 0x01;
// Signature, version and logical screen descriptor.
constexpr size_t ScreenBytes = 13;
constexpr size_t ImageDescriptorBytes = 10;
constexpr size_t ControlBytes = 8;
constexpr int MaxSide = 0xFFFF;
constexpr int TableBytes = 256 * 3;
// A global colour table of 256 entries, colour resolution 8 bits.
constexpr BYTE ScreenPacked = 0xF7;
// Repeat forever: the application extension that browsers and viewers read as a loop count of 0.
constexpr BYTE LoopExtension[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                                  0x03, 0x01, 0x00, 0x00, 0x00};

int tableBytes(BYTE packed)
{
    return 3 << ((packed & 7) + 1);
}

bool readStream(IStream* stream, Bytes& bytes)
{
    STATSTG stat{};
    LARGE_INTEGER start{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 0x7FFFFFFF ||
        FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return false;
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    return bytes.empty() || (SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) &&
                             read == bytes.size());
}

// Where the parts of a one-picture GIF from the encoder lie: its global colour table and graphic control
// extension when it wrote them, and its picture from the image descriptor to the end of the image data.
struct EncodedPicture {
    const BYTE* globalTable = nullptr;
    int globalTableBytes = 0;
    const BYTE* control = nullptr;
    size_t imageStart = 0;
    size_t imageEnd = 0;
};

// Moves past a run of data sub-blocks and its terminator; false when the data ends first.
bool skipSubBlocks(const Bytes& gif, size_t& position)
{
    while (position < gif.size()) {
        BYTE length = gif[position++];
        if (length == 0)
            return true;
        position += length;
    }
    return false;
}

bool findPicture(const Bytes& gif, EncodedPicture& picture)
{
    if (gif.size() < ScreenBytes || gif[0] != 'G' || gif[1] != 'I' || gif[2] != 'F')
        return false;
    size_t position = ScreenBytes;
    BYTE screenPacked = gif[10];
    if (screenPacked & ColorTableFlag) {
        picture.globalTable = gif.data() + position;
        picture.globalTableBytes = tableBytes(screenPacked);
        position += picture.globalTableBytes;
    }
    while (position < gif.size()) {
        if (gif[position] == ExtensionIntroducer && position + 1 < gif.size()) {
            if (gif[position + 1] == GraphicControlLabel && position + ControlBytes <= gif.size())
                picture.control = gif.data() + position;
            position += 2;
            if (!skipSubBlocks(gif, position))
                return false;
            continue;
        }
        if (gif[position] != ImageSeparator || position + ImageDescriptorBytes + 1 > gif.size())
            return false;
        picture.imageStart = position;
        BYTE imagePacked = gif[position + 9];
        position += ImageDescriptorBytes;
        if (imagePacked & ColorTableFlag)
            position += tableBytes(imagePacked);
        // The code size byte of the compressed data, then its blocks.
        position += 1;
        if (!skipSubBlocks(gif, position))
            return false;
        picture.imageEnd = position;
        return true;
    }
    return false;
}

BYTE lowByte(int value)
{
    return static_cast<BYTE>(value & 0xFF);
}

BYTE highByte(int value)
{
    return static_cast<BYTE>(value >> 8 & 0xFF);
}

// The first entry of a table of red, green, blue triples that has the colour; -1 when none has.
int indexOfColor(const BYTE* table, int entries, COLORREF color)
{
    if (color == CLR_INVALID)
        return -1;
    for (int i = 0; i < entries; ++i) {
        const BYTE* entry = table + i * 3;
        if (RGB(entry[0], entry[1], entry[2]) == color)
            return i;
    }
    return -1;
}

COLORREF cornerColor(const Dib& picture, int transparency)
{
    int right = picture.width() - 1;
    int bottom = picture.height() - 1;
    POINT corner;
    switch (transparency) {
    case AnimeGifFileGenerator::TopLeftColor:
        corner = {0, 0};
        break;
    case AnimeGifFileGenerator::TopRightColor:
        corner = {right, 0};
        break;
    case AnimeGifFileGenerator::BottomLeftColor:
        corner = {0, bottom};
        break;
    case AnimeGifFileGenerator::BottomRightColor:
        corner = {right, bottom};
        break;
    default:
        return CLR_INVALID;
    }
    COLORREF color = GetPixel(picture.getDC(), corner.x, corner.y);
    picture.releaseDC();
    return color;
}

COLORREF chooseTransparentColor(const Dib& picture, int transparency, COLORREF given)
{
    if (transparency == AnimeGifFileGenerator::GivenColor)
        return given < 0x1000000 ? given : CLR_INVALID;
    return cornerColor(picture, transparency);
}

} // namespace

bool AnimeGifFileGenerator::open(const wchar_t* path, Gdiplus::Image* first, int transparency, COLORREF color)
{
    // The delay was set for this file: only a failure takes it back to the default.
    int chosenDelay = delay;
    close(false);
    delay = chosenDelay;
    if (!path || !first || first->GetType() == Gdiplus::ImageTypeUnknown)
        return false;
    std::unique_ptr<Dib> picture(gdiplusBitmapToDib(first));
    Dib reduced;
    if (!picture || !reduceColors(*picture, reduced, 8, ReduceMedianCutGrouped, false, nullptr) ||
        reduced.width() > MaxSide || reduced.height() > MaxSide)
        return fail();
    width = reduced.width();
    height = reduced.height();
    paletteCount = reduced.colorCount();
    CopyMemory(palette, reduced.getColorTable(), paletteCount * sizeof(RGBQUAD));
    transparentColor = chooseTransparentColor(reduced, transparency, color);
    if (!target.create(path) || !output.open(target.path(), File::Write))
        return fail();
    return (writeHeader() && writeFrame(reduced)) || fail();
}

bool AnimeGifFileGenerator::addFrame(Gdiplus::Image* image)
{
    if (!isOpen())
        return false;
    if (!image || image->GetType() == Gdiplus::ImageTypeUnknown)
        return fail();
    std::unique_ptr<Dib> picture(gdiplusBitmapToDib(image));
    Dib deep;
    Dib frame;
    bool mapped = picture && reduceColors(*picture, deep, 32, ReduceDefaultPalette, false, nullptr) &&
                  deep.resizeCanvas(width, height, RGB(0, 0, 0)) &&
                  mapColorsToPalette(deep, frame, palette, paletteCount);
    return (mapped && writeFrame(frame)) || fail();
}

bool AnimeGifFileGenerator::close(bool finish)
{
    bool finished = isOpen() && finish && write(&Trailer, 1);
    output.close();
    if (finished)
        finished = target.commit();
    else
        target.discard();
    reset();
    return finished;
}

bool AnimeGifFileGenerator::writeHeader()
{
    const BYTE screen[ScreenBytes] = {'G', 'I', 'F', '8', '9', 'a', lowByte(width), highByte(width),
                                      lowByte(height), highByte(height), ScreenPacked, 0, 0};
    BYTE table[TableBytes];
    paletteTable(table);
    return write(screen, sizeof(screen)) && write(table, sizeof(table)) &&
           write(LoopExtension, sizeof(LoopExtension));
}

// The frame goes in as the encoder wrote its picture, behind a graphic control extension of the program's own.
// The frame's indices refer to the encoder's colour table: when that is a global table other than the
// animation's, the frame carries it as its local table.
bool AnimeGifFileGenerator::writeFrame(const Dib& reduced)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(dibToGdiplusBitmap(reduced, false));
    if (!bitmap)
        return false;
    ComPtr<IStream> stream(gdipEncodeToStream(L"image/gif", bitmap.get(), nullptr));
    Bytes gif;
    EncodedPicture picture;
    if (!stream || !readStream(stream.get(), gif) || !findPicture(gif, picture))
        return false;

    BYTE descriptor[ImageDescriptorBytes];
    CopyMemory(descriptor, gif.data() + picture.imageStart, sizeof(descriptor));
    size_t dataStart = picture.imageStart + ImageDescriptorBytes;
    BYTE ownTable[TableBytes];
    paletteTable(ownTable);
    const BYTE* table = ownTable;
    int tableSize = sizeof(ownTable);
    const BYTE* carriedTable = nullptr;
    if (descriptor[9] & ColorTableFlag) {
        table = gif.data() + dataStart;
        tableSize = tableBytes(descriptor[9]);
    } else if (picture.globalTable && memcmp(picture.globalTable, ownTable, picture.globalTableBytes) != 0) {
        carriedTable = picture.globalTable;
        table = carriedTable;
        tableSize = picture.globalTableBytes;
        descriptor[9] = static_cast<BYTE>((descriptor[9] & InterlaceFlag) | ColorTableFlag | (gif[10] & 7));
    }

    int clamped = delay < 0 ? 0 : delay > 0xFFFF ? 0xFFFF : delay;
    BYTE control[ControlBytes] = {ExtensionIntroducer, GraphicControlLabel, 4, 0, lowByte(clamped),
                                  highByte(clamped), 0, 0};
    if (picture.control) {
        control[3] = picture.control[3];
        control[6] = picture.control[6];
    }
    int transparentIndex = indexOfColor(table, tableSize / 3, transparentColor);
    if (transparentIndex >= 0) {
        control[3] |= TransparencyFlag;
        control[6] = static_cast<BYTE>(transparentIndex);
    }
    return write(control, sizeof(control)) && write(descriptor, sizeof(descriptor)) &&
           (!carriedTable || write(carriedTable, tableSize)) &&
           write(gif.data() + dataStart, static_cast<DWORD>(picture.imageEnd - dataStart));
}

void AnimeGifFileGenerator::paletteTable(BYTE* table) const
{
    ZeroMemory(table, TableBytes);
    for (int i = 0; i < paletteCount; ++i) {
        table[i * 3] = palette[i].rgbRed;
        table[i * 3 + 1] = palette[i].rgbGreen;
        table[i * 3 + 2] = palette[i].rgbBlue;
    }
}

bool AnimeGifFileGenerator::write(const void* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(output.getHandle(), bytes, count, &written, nullptr) && written == count;
}

bool AnimeGifFileGenerator::fail()
{
    close(false);
    return false;
}

void AnimeGifFileGenerator::reset()
{
    delay = DefaultDelay;
    width = 0;
    height = 0;
    transparentColor = CLR_INVALID;
    paletteCount = 0;
}
