#include "imaging/AnimeGifFileGenerator.h"
#include <memory>
#include <vector>
#include "imaging/ColorReduction.h"
#include "imaging/Dib.h"
#include "imaging/DibConversion.h"
#include "imaging/PaletteLookup.h"
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

COLORREF colorOf(const RGBQUAD& entry)
{
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

bool paletteHas(const RGBQUAD* palette, int count, COLORREF color)
{
    for (int i = 0; i < count; ++i)
        if (colorOf(palette[i]) == color)
            return true;
    return false;
}

// Whether a pixel of the 32-bit picture shares the top 5 bits of each channel with the colour: the colours
// that a reduction of many colours counts as one.
bool hasColorNear(const Dib& picture, COLORREF color)
{
    constexpr UINT32 TopBits = 0xF8F8F8;
    UINT32 wanted = (GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color)) & TopBits;
    GdiFlush();
    for (int y = 0; y < picture.height(); ++y) {
        auto row = reinterpret_cast<const UINT32*>(picture.getBits() + static_cast<INT_PTR>(y) * picture.stride());
        for (int x = 0; x < picture.width(); ++x)
            if ((row[x] & TopBits) == wanted)
                return true;
    }
    return false;
}

// Whether every colour that the 8-bit picture's pixels use is in the palette.
bool usesOnlyColorsOf(const Dib& picture, const RGBQUAD* palette, int count)
{
    bool used[256] = {};
    for (int y = 0; y < picture.height(); ++y) {
        const BYTE* row = picture.getBits() + static_cast<INT_PTR>(y) * picture.stride();
        for (int x = 0; x < picture.width(); ++x)
            used[row[x]] = true;
    }
    const RGBQUAD* table = picture.getColorTable();
    for (int i = 0; i < picture.colorCount(); ++i)
        if (used[i] && !paletteHas(palette, count, colorOf(table[i])))
            return false;
    return true;
}

} // namespace

bool AnimeGifFileGenerator::open(const wchar_t* path, Gdiplus::Image* first, int transparency, COLORREF color)
{
    // The delay was set for this file: only a failure takes it back to the default.
    int chosenDelay = delay;
    close(false);
    delay = chosenDelay;
    fileFailure = ERROR_SUCCESS;
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
    if (!noteFileFailure(target.create(path)))
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
    bool reduced = picture && reduceColors(*picture, deep, 32, ReduceDefaultPalette, false, nullptr) &&
                   deep.resizeCanvas(width, height, RGB(0, 0, 0)) && reduceFrame(deep, frame);
    return (reduced && writeFrame(frame)) || fail();
}

// A frame whose own palette would bring no colour that the animation's lacks is mapped to the animation's, as
// the first frame is, and needs no colour table of its own.
bool AnimeGifFileGenerator::reduceFrame(const Dib& deep, Dib& frame) const
{
    if (!reduceColors(deep, frame, 8, ReduceMedianCutGrouped, false, nullptr))
        return false;
    RGBQUAD own[256];
    int ownCount = frame.colorCount();
    CopyMemory(own, frame.getColorTable(), ownCount * sizeof(RGBQUAD));
    if (keepTransparentEntry(deep, own, ownCount) && !mapColorsToPalette(deep, frame, own, ownCount))
        return false;
    if (!usesOnlyColorsOf(frame, palette, paletteCount))
        return true;
    return mapColorsToPalette(deep, frame, palette, paletteCount);
}

// The first frame's reduction may have merged the transparent colour with colours near it; where this frame
// has such colours, its palette entry nearest to the transparent colour becomes that colour, so that they are
// transparent here as they are there.
bool AnimeGifFileGenerator::keepTransparentEntry(const Dib& deep, RGBQUAD* own, int ownCount) const
{
    if (transparentColor == CLR_INVALID || paletteHas(own, ownCount, transparentColor) ||
        !hasColorNear(deep, transparentColor))
        return false;
    BYTE red = GetRValue(transparentColor);
    BYTE green = GetGValue(transparentColor);
    BYTE blue = GetBValue(transparentColor);
    own[nearestPaletteIndex(own, ownCount, red, green, blue)] = RGBQUAD{blue, green, red, 0};
    return true;
}

bool AnimeGifFileGenerator::close(bool finish)
{
    bool finished = isOpen() && finish && write(&Trailer, 1);
    if (finished)
        finished = noteFileFailure(target.commit());
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
    return noteFileFailure(target.write(bytes, count));
}

bool AnimeGifFileGenerator::noteFileFailure(bool succeeded)
{
    if (!succeeded)
        fileFailure = GetLastError();
    return succeeded;
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
