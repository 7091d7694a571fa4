#include "imaging/Dib.h"
#include <climits>
#include "foundation/MemoryAllocator.h"
#include "foundation/ScratchBuffer.h"
#include "imaging/PictureSizeLimit.h"

namespace {

constexpr DWORD MaskBytes = 12; // three BI_BITFIELDS masks after a plain info header

// Allocates when given no block; a failed reallocation frees the old block.
void* reallocBlock(void* block, int bytes)
{
    if (!block)
        return MemoryAllocator::alloc(bytes);
    void* moved = MemoryAllocator::realloc(block, bytes);
    if (!moved)
        MemoryAllocator::free(block);
    return moved;
}

void freeBlock(void* block)
{
    MemoryAllocator::free(block);
}

bool hasMasks(const BITMAPINFOHEADER& header)
{
    return header.biCompression == BI_BITFIELDS;
}

LONGLONG absoluteHeight(const BITMAPINFOHEADER& header)
{
    return header.biHeight < 0 ? -static_cast<LONGLONG>(header.biHeight) : header.biHeight;
}

bool isKnownDepth(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

bool isValidCompression(const BITMAPINFOHEADER& header)
{
    switch (header.biCompression) {
    case BI_RGB:
        return true;
    case BI_BITFIELDS:
        return header.biBitCount == 16 || header.biBitCount == 32;
    case BI_RLE8:
        return header.biBitCount == 8 && header.biHeight > 0;
    case BI_RLE4:
        return header.biBitCount == 4 && header.biHeight > 0;
    default:
        return false;
    }
}

// The 16 VGA colours: the stock palette's first eight and last eight entries. Its entries 8-11 are system
// tints that leave no white, blue, magenta or cyan among the first sixteen.
void defaultColors16(RGBQUAD* table)
{
    PALETTEENTRY entries[20] = {};
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, entries);
    for (int i = 0; i < 16; ++i) {
        const PALETTEENTRY& entry = entries[i < 8 ? i : i + 4];
        table[i] = RGBQUAD{entry.peBlue, entry.peGreen, entry.peRed, 0};
    }
}

bool halftoneColors256(RGBQUAD* table)
{
    HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return false;
    HPALETTE halftone = CreateHalftonePalette(display);
    DeleteDC(display);
    if (!halftone)
        return false;
    PALETTEENTRY entries[256] = {};
    UINT count = GetPaletteEntries(halftone, 0, 256, entries);
    DeleteObject(halftone);
    for (UINT i = 0; i < count && i < 256; ++i)
        table[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return true;
}

void setMasks(BITMAPINFO* info, DWORD red, DWORD green, DWORD blue)
{
    auto masks = reinterpret_cast<DWORD*>(info->bmiColors);
    masks[0] = red;
    masks[1] = green;
    masks[2] = blue;
}

} // namespace

// Everything that a section, a colour table or a pixel transfer is sized by must be sane before it is used.
bool Dib::isValidHeader(const BITMAPINFOHEADER& header)
{
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > sizeof(BITMAPV5HEADER))
        return false;
    if (header.biWidth < 1 || header.biHeight == 0 || header.biHeight == LONG_MIN)
        return false;
    if (!isKnownDepth(header.biBitCount) || !isValidCompression(header) || header.biClrUsed > 256)
        return false;
    LONGLONG stride = (static_cast<LONGLONG>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    return stride * absoluteHeight(header) <= INT_MAX;
}

bool Dib::isOwnBmpForm(const BITMAPINFOHEADER& header)
{
    bool ownCompression = header.biCompression == BI_RGB || header.biCompression == BI_RLE8 ||
                          header.biCompression == BI_RLE4 || header.biCompression == BI_BITFIELDS;
    return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biSize <= sizeof(BITMAPV5HEADER) &&
           isKnownDepth(header.biBitCount) && ownCompression;
}

int Dib::blockInfoSize(const BITMAPINFOHEADER& header)
{
    return static_cast<int>(header.biSize) + 4 * colorCountOf(&header) + (hasMasks(header) ? MaskBytes : 0);
}

bool Dib::fail(DWORD error)
{
    SetLastError(error);
    return false;
}

Dib::Dib(const Dib& source)
{
    copyScaled(source, 1.0);
}

Dib::~Dib()
{
    reallocInfo(0);
}

bool Dib::reallocInfo(int bytes)
{
    if (memoryDC) {
        if (selectCount > 0)
            SelectObject(memoryDC, previousObject);
        DeleteDC(memoryDC);
        memoryDC = nullptr;
    }
    selectCount = 0;
    previousObject = nullptr;
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    bits = nullptr;
    if (palette) {
        DeleteObject(palette);
        palette = nullptr;
    }
    if (bytes <= 0) {
        freeBlock(info);
        info = nullptr;
        return bytes == 0 || fail(ERROR_INVALID_PARAMETER);
    }
    info = static_cast<BITMAPINFO*>(reallocBlock(info, bytes));
    return info != nullptr;
}

bool Dib::createFromInfo(const BITMAPINFO* templateInfo, COLORREF fillColor)
{
    if (!templateInfo)
        return fail(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER header = templateInfo->bmiHeader;
    // A size beyond the limit is refused as such, however sound the rest of the header.
    if (header.biWidth > 0 && header.biHeight != 0 &&
        !PictureSizeLimit::check(header.biWidth, static_cast<double>(absoluteHeight(header)), header.biBitCount))
        return releaseAfterFailure();
    if (!isValidHeader(header)) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    header.biHeight = static_cast<LONG>(absoluteHeight(header));
    header.biPlanes = 1;
    header.biCompression = hasMasks(header) ? BI_BITFIELDS : BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride(header.biWidth, header.biBitCount) * header.biHeight);

    int size = blockInfoSize(header);
    if (!reallocInfo(size))
        return false;
    CopyMemory(info, templateInfo, size);
    CopyMemory(info, &header, sizeof(header));

    void* sectionBits = nullptr;
    bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    bits = static_cast<BYTE*>(sectionBits);
    if (!bitmap)
        return releaseAfterFailure();
    memoryDC = CreateCompatibleDC(nullptr);
    if (!memoryDC)
        return releaseAfterFailure();
    if (colorCount() != 0 && !createPalette())
        return releaseAfterFailure();
    if (!fill(fillColor))
        return releaseAfterFailure();
    return true;
}

bool Dib::create(int newWidth, int newHeight, int newBitCount, COLORREF fillColor)
{
    if (newWidth < 1 || newHeight < 1)
        return fail(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = newWidth;
    header.biHeight = newHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(newBitCount);
    header.biCompression = newBitCount == 16 || newBitCount == 32 ? BI_BITFIELDS : BI_RGB;

    ScratchBuffer<BYTE> block(blockInfoSize(header));
    if (!block.get()) {
        reallocInfo(0);
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    auto templateInfo = reinterpret_cast<BITMAPINFO*>(block.get());
    templateInfo->bmiHeader = header;
    switch (newBitCount) {
    case 1:
        templateInfo->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
        break;
    case 4:
        defaultColors16(templateInfo->bmiColors);
        break;
    case 8:
        if (!halftoneColors256(templateInfo->bmiColors))
            return releaseAfterFailure();
        break;
    case 16:
        setMasks(templateInfo, 0x7C00, 0x03E0, 0x001F);
        break;
    case 32:
        setMasks(templateInfo, 0xFF0000, 0x00FF00, 0x0000FF);
        break;
    default:
        break; // 24 needs nothing; createFromInfo refuses any other depth
    }
    return createFromInfo(templateInfo, fillColor);
}

WORD Dib::colorCount() const
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return colorCountOf(&info->bmiHeader);
}

LONGLONG Dib::packedInfoBytes(const BITMAPINFOHEADER& header)
{
    DWORD colors = header.biClrUsed != 0 ? header.biClrUsed : colorCountOf(&header);
    DWORD masks = hasMasks(header) && header.biSize < 52 ? MaskBytes : 0;
    return static_cast<LONGLONG>(header.biSize) + 4LL * colors + masks;
}

LONGLONG Dib::packedPixelBytes(const BITMAPINFOHEADER& header)
{
    if (header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4)
        return header.biSizeImage;
    LONGLONG stride = (static_cast<LONGLONG>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    return stride * absoluteHeight(header);
}

WORD Dib::colorCountOf(const BITMAPINFOHEADER* header)
{
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (header->biClrUsed != 0)
        return static_cast<WORD>(header->biClrUsed);
    switch (header->biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

const RGBQUAD* Dib::getColorTable() const
{
    if (!info || colorCount() == 0)
        return nullptr;
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize);
}

bool Dib::setColorTable(const PALETTEENTRY* entries)
{
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    bool indexed = header.biBitCount == 1 || header.biBitCount == 4 || header.biBitCount == 8;
    if (header.biClrUsed == 0 ? !indexed : LOWORD(header.biClrUsed) == 0)
        return fail(ERROR_INVALID_FUNCTION);
    if (!entries)
        return fail(ERROR_INVALID_PARAMETER);
    UINT count = colorCount();
    auto table = const_cast<RGBQUAD*>(getColorTable());
    for (UINT i = 0; i < count; ++i) {
        table[i].rgbRed = entries[i].peRed;
        table[i].rgbGreen = entries[i].peGreen;
        table[i].rgbBlue = entries[i].peBlue;
    }
    UINT set = SetDIBColorTable(getDC(), 0, count, table);
    releaseDC();
    if (set != count)
        return false;
    return createPalette();
}

bool Dib::createPalette()
{
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    if (palette) {
        DeleteObject(palette);
        palette = nullptr;
    }
    WORD count = colorCount();
    if (count == 0)
        return false;
    ScratchBuffer<BYTE> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    if (!block.get())
        return false;
    auto logical = reinterpret_cast<LOGPALETTE*>(block.get());
    logical->palVersion = 0x300;
    logical->palNumEntries = count;
    const RGBQUAD* table = getColorTable();
    for (WORD i = 0; i < count; ++i)
        logical->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    palette = CreatePalette(logical);
    return palette != nullptr;
}

HDC Dib::getDC() const
{
    if (!memoryDC)
        return nullptr;
    if (selectCount == 0)
        previousObject = SelectObject(memoryDC, bitmap);
    ++selectCount;
    return memoryDC;
}

void Dib::releaseDC() const
{
    if (selectCount == 0)
        return;
    if (--selectCount == 0)
        SelectObject(memoryDC, previousObject);
}

HPALETTE Dib::selectPalette(HDC dc) const
{
    if (!palette)
        return nullptr;
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    return previous;
}

bool Dib::stretchTo(HDC dc, int x, int y, int destWidth, int destHeight, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight) const
{
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    if (!SaveDC(dc))
        return false;
    selectPalette(dc);
    SetStretchBltMode(dc, COLORONCOLOR);
    BOOL drawn = StretchBlt(dc, x, y, destWidth, destHeight, getDC(), sourceX, sourceY, sourceWidth, sourceHeight,
                            SRCCOPY);
    DWORD error = GetLastError();
    releaseDC();
    RestoreDC(dc, -1);
    SetLastError(error);
    return drawn != FALSE;
}

bool Dib::drawStretched(HDC dc, int x, int y, int destWidth, int destHeight) const
{
    return stretchTo(dc, x, y, destWidth, destHeight, 0, 0, width(), height());
}

bool Dib::drawScaled(HDC dc, double factor) const
{
    return drawStretched(dc, 0, 0, static_cast<int>(width() * factor), static_cast<int>(height() * factor));
}

bool Dib::copyScaled(const Dib& source, double factor)
{
    if (&source == this) {
        if (!info || factor == 1.0)
            return true;
        Dib temporary;
        if (!temporary.copyScaled(*this, 1.0))
            return releaseAfterFailure();
        return copyScaled(temporary, factor);
    }
    if (!source.info)
        return reallocInfo(0);
    if (factor == 1.0) {
        if (!createFromInfo(source.info, RGB(0, 0, 0)))
            return false;
        GdiFlush();
        CopyMemory(bits, source.bits, imageSize());
        return true;
    }
    int scaledWidth = static_cast<int>(source.width() * factor);
    int scaledHeight = static_cast<int>(source.height() * factor);
    if (!createLike(source, scaledWidth, scaledHeight, RGB(0, 0, 0)))
        return false;
    bool drawn = source.drawScaled(getDC(), factor);
    releaseDC();
    return drawn || releaseAfterFailure();
}

bool Dib::copyRegionScaled(const Dib& source, double factor, int left, int top, int regionWidth, int regionHeight)
{
    if (&source == this) {
        if (!info)
            return true;
        Dib temporary;
        if (!temporary.copyScaled(*this, 1.0))
            return releaseAfterFailure();
        return copyRegionScaled(temporary, factor, left, top, regionWidth, regionHeight);
    }
    if (!source.info)
        return reallocInfo(0);
    int scaledWidth = static_cast<int>(regionWidth * factor);
    int scaledHeight = static_cast<int>(regionHeight * factor);
    if (!createLike(source, scaledWidth, scaledHeight, RGB(0, 0, 0)))
        return false;
    bool drawn = source.stretchTo(getDC(), 0, 0, scaledWidth, scaledHeight, left, top, regionWidth, regionHeight);
    releaseDC();
    return drawn || releaseAfterFailure();
}

bool Dib::resize(int newWidth, int newHeight)
{
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    if (newWidth == width() && newHeight == height())
        return true;
    Dib temporary;
    if (!temporary.createLike(*this, newWidth, newHeight, RGB(0, 0, 0)))
        return releaseAfterFailure();
    bool drawn = drawStretched(temporary.getDC(), 0, 0, newWidth, newHeight);
    temporary.releaseDC();
    if (!drawn)
        return releaseAfterFailure();
    return copyScaled(temporary, 1.0);
}

bool Dib::resizeCanvas(int newWidth, int newHeight, COLORREF fillColor)
{
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    if (newWidth == width() && newHeight == height())
        return true;
    Dib temporary;
    if (!temporary.createLike(*this, newWidth, newHeight, fillColor))
        return releaseAfterFailure();
    bool drawn = drawStretched(temporary.getDC(), 0, 0, width(), height());
    temporary.releaseDC();
    if (!drawn)
        return releaseAfterFailure();
    return copyScaled(temporary, 1.0);
}

bool Dib::toBitsPerPixel24()
{
    if (bitCount() == 24)
        return true;
    Dib converted;
    return converted.copyAtDepth(*this, 24) && copyScaled(converted, 1.0);
}

bool Dib::copyAtDepth(const Dib& source, int newBitCount)
{
    if (&source == this)
        return fail(ERROR_INVALID_PARAMETER);
    if (source.isEmpty() || newBitCount <= 8) {
        reallocInfo(0);
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (newBitCount == source.bitCount())
        return copyScaled(source, 1.0) || releaseAfterFailure();
    if (!create(source.width(), source.height(), newBitCount, RGB(0, 0, 0)))
        return releaseAfterFailure();
    bool drawn = source.drawScaled(getDC(), 1.0);
    releaseDC();
    if (!drawn)
        return releaseAfterFailure();
    // GDI leaves the fourth byte of what it draws at zero.
    if (newBitCount == 32) {
        GdiFlush();
        for (int i = 0, n = imageSize() / 4; i < n; ++i)
            bits[i * 4 + 3] = 0xFF;
    }
    return true;
}

bool Dib::aspectPercent(int& widthPercent, int& heightPercent) const
{
    widthPercent = 0;
    heightPercent = 0;
    if (!info)
        return fail(ERROR_INVALID_FUNCTION);
    if (width() < height()) {
        widthPercent = static_cast<int>(width() * 100.0 / height());
        heightPercent = 100;
    } else {
        widthPercent = 100;
        heightPercent = static_cast<int>(height() * 100.0 / width());
    }
    return true;
}

int Dib::infoSize() const
{
    return info ? blockInfoSize(info->bmiHeader) : 0;
}

// A new section with the source's header, colour table and depth at another size.
bool Dib::createLike(const Dib& source, int newWidth, int newHeight, COLORREF fillColor)
{
    int size = source.infoSize();
    ScratchBuffer<BYTE> copy(size);
    if (!copy.get())
        return releaseAfterFailure();
    CopyMemory(copy.get(), source.info, size);
    auto copyInfo = reinterpret_cast<BITMAPINFO*>(copy.get());
    copyInfo->bmiHeader.biWidth = newWidth;
    copyInfo->bmiHeader.biHeight = newHeight;
    return createFromInfo(copyInfo, fillColor);
}

bool Dib::fill(COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush)
        return false;
    RECT all = {0, 0, width(), height()};
    bool filled = FillRect(getDC(), &all, brush) != 0;
    releaseDC();
    DeleteObject(brush);
    return filled;
}

bool Dib::releaseAfterFailure()
{
    DWORD error = GetLastError();
    reallocInfo(0);
    SetLastError(error);
    return false;
}
