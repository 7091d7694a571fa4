#include "imaging/carriedPalette.h"
#include <algorithm>
#include <cstring>
#include "foundation/FileHandle.h"
#include "imaging/Dib.h"

namespace {

constexpr int MaxColours = 256;
constexpr BYTE PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

HANDLE openForReading(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool readExactly(HANDLE file, void* buffer, DWORD count)
{
    DWORD read = 0;
    return ReadFile(file, buffer, count, &read, nullptr) && read == count;
}

DWORD bigEndian(const BYTE* bytes)
{
    return static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 | static_cast<DWORD>(bytes[2]) << 8 |
           bytes[3];
}

// The program's own reader keeps a BMP's colour table at every depth.
int bmpColourTable(const wchar_t* path, RGBQUAD* colours)
{
    Dib bmp;
    if (!bmp.loadBmpFile(openForReading(path)))
        return 0;
    const RGBQUAD* table = bmp.getColorTable();
    int count = table ? std::min<int>(bmp.colorCount(), MaxColours) : 0;
    for (int i = 0; i < count; ++i)
        colours[i] = {table[i].rgbBlue, table[i].rgbGreen, table[i].rgbRed, 0};
    return count;
}

// The palette comes before the pixel data, so the walk ends at the first of those.
int pngPalette(HANDLE file, RGBQUAD* colours)
{
    for (;;) {
        BYTE head[8];
        if (!readExactly(file, head, sizeof(head)) || std::memcmp(head + 4, "IDAT", 4) == 0)
            return 0;
        DWORD length = bigEndian(head);
        if (std::memcmp(head + 4, "PLTE", 4) != 0) {
            LARGE_INTEGER skip;
            skip.QuadPart = static_cast<LONGLONG>(length) + 4;
            if (!SetFilePointerEx(file, skip, nullptr, FILE_CURRENT))
                return 0;
            continue;
        }
        BYTE entries[MaxColours * 3];
        int count = static_cast<int>(std::min<DWORD>(length / 3, MaxColours));
        if (!readExactly(file, entries, static_cast<DWORD>(count) * 3))
            return 0;
        for (int i = 0; i < count; ++i)
            colours[i] = {entries[i * 3 + 2], entries[i * 3 + 1], entries[i * 3], 0};
        return count;
    }
}

} // namespace

int readCarriedPalette(const wchar_t* path, RGBQUAD* colours)
{
    FileHandle file(openForReading(path));
    BYTE signature[8];
    if (!colours || !file.isValid() || !readExactly(file.get(), signature, sizeof(signature)))
        return 0;
    if (std::memcmp(signature, PngSignature, sizeof(PngSignature)) == 0)
        return pngPalette(file.get(), colours);
    return signature[0] == 'B' && signature[1] == 'M' ? bmpColourTable(path, colours) : 0;
}
