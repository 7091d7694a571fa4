#include "imaging/AnimeGifFileGenerator.h"
#include <memory>
#include <vector>
#include "imaging/ColorReduction.h"
#include "imaging/Dib.h"
#include "imaging/DibConversion.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gifBlocks.h"

namespace {

using namespace GifBlock;

constexpr int MaxSide = 0xFFFF;
constexpr int TableBytes = 256 * 3;
// A global colour table of 256 entries, colour resolution 8 bits.
constexpr BYTE ScreenPacked = 0xF7;
// Repeat forever: the application extension that browsers and viewers read as a loop count of 0.
constexpr BYTE LoopExtension[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                                  0x03, 0x01, 0x00, 0x00, 0x00};

BYTE lowByte(int value)
{
    return static_cast<BYTE>(value & 0xFF);
}

BYTE highByte(int value)
{
    return static_cast<BYTE>(value >> 8 & 0xFF);
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
    std::vector<BYTE> gif;
    GifPicture picture;
    if (!gdipEncodeToBytes(L"image/gif", bitmap.get(), gif) || !findGifPicture(gif, picture))
        return false;

    BYTE descriptor[ImageDescriptorBytes];
    CopyMemory(descriptor, gif.data() + picture.imageStart, sizeof(descriptor));
    size_t dataStart = picture.imageStart + ImageDescriptorBytes;
    BYTE ownTable[TableBytes];
    paletteTable(ownTable);
    const BYTE* table = ownTable;
    size_t tableSize = sizeof(ownTable);
    const BYTE* carriedTable = nullptr;
    if (descriptor[9] & ColorTableFlag) {
        table = gif.data() + picture.table;
        tableSize = picture.tableBytes;
    } else if (picture.globalTable &&
               memcmp(gif.data() + picture.globalTable, ownTable, picture.globalTableBytes) != 0) {
        carriedTable = gif.data() + picture.globalTable;
        table = carriedTable;
        tableSize = picture.globalTableBytes;
        descriptor[9] = static_cast<BYTE>((descriptor[9] & InterlaceFlag) | ColorTableFlag | (gif[10] & 7));
    }

    int clamped = delay < 0 ? 0 : delay > 0xFFFF ? 0xFFFF : delay;
    BYTE control[ControlBytes] = {ExtensionIntroducer, GraphicControlLabel, 4, 0, lowByte(clamped),
                                  highByte(clamped), 0, 0};
    if (picture.control) {
        control[3] = gif[picture.control + 3];
        control[6] = gif[picture.control + 6];
    }
    int transparentIndex = gifColorIndex(table, tableSize / 3, transparentColor);
    if (transparentIndex >= 0) {
        control[3] |= TransparencyFlag;
        control[6] = static_cast<BYTE>(transparentIndex);
    }
    return write(control, sizeof(control)) && write(descriptor, sizeof(descriptor)) &&
           (!carriedTable || write(carriedTable, static_cast<DWORD>(tableSize))) &&
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
    return output.writeAll(bytes, count);
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
