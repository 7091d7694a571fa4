#include "imaging/pictureProbe.h"
#include <cstring>
#include "foundation/Exception.h"
#include "foundation/File.h"
#include "foundation/FileStream.h"
#include "imaging/BitmapCopy.h"
#include "imaging/gdipImageIO.h"

namespace {

// GDI+ raw formats.
// {B96B3CAF-0728-11D3-9D7B-0000F81EF32E}
constexpr GUID RawFormatPng = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
// {B96B3CB0-0728-11D3-9D7B-0000F81EF32E}
constexpr GUID RawFormatGif = {0xB96B3CB0, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

constexpr BYTE PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Offsets in a PNG file: the IHDR chunk follows the 8-byte signature and the chunk's length and type.
constexpr DWORD PngHeaderTypeOffset = 12;
constexpr DWORD PngBitDepthOffset = 24;
constexpr DWORD PngColourTypeOffset = 25;
constexpr BYTE PngPaletteFlag = 1;
constexpr BYTE PngAlphaFlag = 4;

constexpr UINT MaxPaletteColours = 256;
constexpr WICColor Opaque = 0xFF000000u;

// A picture that WIC decoded comes to GDI+ as a PNG in memory: the file itself need not be one.
bool isPngFile(const wchar_t* path)
{
    InputFileStream file(path);
    BYTE head[PngHeaderTypeOffset + 4] = {};
    bool endOfData = false;
    file.read(head, sizeof(head), endOfData);
    return std::memcmp(head, PngSignature, sizeof(PngSignature)) == 0 &&
           std::memcmp(head + PngHeaderTypeOffset, "IHDR", 4) == 0;
}

// Bits is set step by step, so that a read failing half-way leaves what was found before it.
void readPngBitsPerPixel(const wchar_t* path, WORD& bits)
{
    bits = readFileByte(path, PngBitDepthOffset);
    if (bits < 8)
        return;
    BYTE colourType = readFileByte(path, PngColourTypeOffset);
    if (colourType & PngAlphaFlag)
        bits = static_cast<WORD>(bits * 4);
    else if (!(colourType & PngPaletteFlag))
        bits = static_cast<WORD>(bits * 3);
}

} // namespace

bool isSelfReadBmpFile(const wchar_t* path)
{
    if (!path)
        Exception::throwInvalidArgument();
    InputFileStream file(path);
    BYTE head[BmpHeadBytes] = {};
    bool endOfData = false;
    file.read(head, sizeof(head), endOfData);
    return isSelfReadBmpHead(head, sizeof(head));
}

BYTE readFileByte(const wchar_t* path, DWORD offset)
{
    if (!path)
        Exception::throwInvalidArgument();
    File file;
    if (!file.open(path, File::Read))
        Exception::throwLastError();
    LARGE_INTEGER move;
    move.QuadPart = offset;
    BYTE value = 0;
    DWORD read = 0;
    if (!SetFilePointerEx(file.getHandle(), move, nullptr, FILE_CURRENT) ||
        !ReadFile(file.getHandle(), &value, 1, &read, nullptr))
        Exception::throwLastError();
    if (read != 1)
        throw Exception(ERROR_HANDLE_EOF);
    return value;
}

bool hasTranslucentPalette(const WIC::BitmapSource& source)
{
    if (source.bitsPerPixel() > 8)
        return false;
    WICColor colours[MaxPaletteColours] = {};
    UINT count = 0;
    try {
        count = source.copyPalette(colours);
    } catch (const Exception&) {
        // Grey formats have no palette to copy.
        return false;
    }
    for (UINT i = 0; i < count; ++i)
        if (colours[i] < Opaque)
            return true;
    return false;
}

void getPngBitDepth(const wchar_t* path, Gdiplus::Image* image, WORD& bits)
{
    GUID raw = GUID_NULL;
    if (!image || bitsPerPixel(image->GetPixelFormat()) != 32 || image->GetRawFormat(&raw) != Gdiplus::Ok)
        return;
    try {
        if (IsEqualGUID(raw, RawFormatPng) && isPngFile(path))
            readPngBitsPerPixel(path, bits);
        else if (IsEqualGUID(raw, RawFormatGif))
            bits = 8;
    } catch (const Exception&) {
        // The probe ends with what it had found.
    }
}
