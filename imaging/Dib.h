#pragma once
#include <windows.h>
#include <objidl.h>

// A GDI DIB section with the memory DC it is drawn through and, for colour-table pictures, a logical palette.
// Rows lie bottom-up. Nothing here throws: failures return false (or null) with the thread's last error set:
// 87 bad argument or malformed data, 1 the Dib is empty, 8 no memory or a picture larger than PictureSizeLimit
// allows (refused before anything is allocated); failed GDI calls leave the system's error.
// A failed (re)creation always leaves the Dib empty, never half-built.
class Dib {
public:
    Dib() = default;
    Dib(const Dib& source);
    Dib& operator=(const Dib&) = delete;
    virtual ~Dib();

    // Releases the section, DC and palette and resizes the info block to `bytes`; 0 empties the Dib.
    bool reallocInfo(int bytes);
    // A new section shaped by the template (header, then colour table or masks), filled with the colour. The
    // section is always bottom-up and uncompressed (BI_BITFIELDS kept). A null template leaves the Dib as it is.
    bool createFromInfo(const BITMAPINFO* templateInfo, COLORREF fill);
    // A blank section with the default colour table or masks of the bit count (1, 4, 8, 16, 24, 32).
    // A non-positive size fails with 87 and keeps the previous picture.
    bool create(int width, int height, int bitCount, COLORREF fill);
    // Takes red, green and blue of colorCount() entries; the reserved bytes of the table stay.
    bool setColorTable(const PALETTEENTRY* entries);
    bool createPalette();

    // Nested selection of the section into the memory DC: only the outermost pair selects and restores.
    HDC getDC() const;
    void releaseDC() const;
    // Selects and realizes the palette in the DC; null when the Dib has none.
    HPALETTE selectPalette(HDC dc) const;

    bool stretchTo(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                   int sourceHeight) const;
    bool drawStretched(HDC dc, int x, int y, int width, int height) const;
    bool drawScaled(HDC dc, double factor) const;

    // This Dib becomes a copy of the source (or of a region of it) scaled by the factor; an empty source
    // empties this Dib and succeeds.
    bool copyScaled(const Dib& source, double factor);
    bool copyRegionScaled(const Dib& source, double factor, int left, int top, int width, int height);
    bool resize(int width, int height);
    // New size with the picture unscaled at the top left; uncovered area gets the fill colour.
    bool resizeCanvas(int width, int height, COLORREF fill);
    // Converts the picture to 24 bits in place; true at once when it already is. On failure it is unchanged
    // unless the final copy failed, which empties it.
    bool toBitsPerPixel24();
    // This Dib (another object than the source) becomes the source drawn at a depth above 8 bits: an exact
    // copy at the source's own depth, opaque at 32 bits. An empty source or a depth of 8 bits or fewer fails
    // with 87 and empties this Dib; so does any failure on the way.
    bool copyAtDepth(const Dib& source, int bitCount);
    // Both sides in percent of the longer one.
    bool aspectPercent(int& widthPercent, int& heightPercent) const;

    int width() const { return info ? info->bmiHeader.biWidth : 0; }
    int height() const { return info ? info->bmiHeader.biHeight : 0; }
    int bitCount() const { return info ? info->bmiHeader.biBitCount : 0; }
    int imageSize() const { return info ? static_cast<int>(info->bmiHeader.biSizeImage) : 0; }
    int stride() const { return info ? stride(width(), bitCount()) : 0; }
    bool isEmpty() const { return info == nullptr; }
    WORD colorCount() const;
    static WORD colorCountOf(const BITMAPINFOHEADER* header);
    // Sizes in a BMP file or packed DIB, counted in 64 bits from any header: the header with its colour table
    // and masks (masks lie inside headers of 52 bytes and more), and the pixels (biSizeImage for run-length
    // encoded pictures).
    static LONGLONG packedInfoBytes(const BITMAPINFOHEADER& header);
    static LONGLONG packedPixelBytes(const BITMAPINFOHEADER& header);
    // BMP headers as the reader judges them. A form that it decodes itself: an info header of 40 bytes up to a
    // V5 header, with uncompressed, run-length or bit-field pixels of a depth it makes.
    static bool isOwnBmpForm(const BITMAPINFOHEADER& header);
    // Whether it takes such a picture: the header sane (one plane among others), and the `bytes` bytes from the
    // info header on holding the colour table before pixelOffset and the pixels from there. A run-length
    // stream must also be whole (RunLengthScan), which only its bytes tell.
    static bool isSoundBmpImage(const BITMAPINFOHEADER& header, LONGLONG bytes, LONGLONG pixelOffset);
    static int stride(int width, int bitCount)
    {
        return static_cast<int>((static_cast<LONGLONG>(bitCount) * width + 31) / 32 * 4);
    }

    const BITMAPINFO* getInfo() const { return info; }
    // Pixels of the section; call GdiFlush before reading what GDI drew.
    BYTE* getBits() const { return bits; }
    const RGBQUAD* getColorTable() const;
    HBITMAP getBitmap() const { return bitmap; }
    HPALETTE getPalette() const { return palette; }

    // BMP files (DibBmpFile.cpp): both close a valid handle in every case.
    bool loadBmpFile(HANDLE file);
    bool saveBmpFile(HANDLE file);
    // A packed DIB (BITMAPINFO followed by the pixels) of `bytes` bytes in memory. Loads of either form
    // decode bit-field masks of any layout into a 32-bit section with the usual masks (alpha, when the
    // picture has an alpha mask, in the fourth bytes); 16-bit pictures with the usual masks stay 16 bits.
    bool loadPackedDib(const BITMAPINFO* packed, DWORD bytes);
    // A BMP file image from the start of the stream, its pixels where its file header's pixel offset puts them.
    bool loadFromStream(IStream* stream);
    // A BMP file image in a new memory stream (ComMemoryStream), positioned at its end; null on failure.
    IStream* toStream() const;

private:
    // Header, colour table and masks as a section's info block holds them.
    static int blockInfoSize(const BITMAPINFOHEADER& header);
    // Everything that a section, a colour table or a pixel transfer is sized by is sane.
    static bool isValidHeader(const BITMAPINFOHEADER& header);
    static bool fail(DWORD error);

    int infoSize() const;
    bool createLike(const Dib& source, int width, int height, COLORREF fill);
    bool fill(COLORREF color);
    // Empties the Dib, keeping the last error of the step that failed.
    bool releaseAfterFailure();
    bool loadBmpImage(const BYTE* data, DWORD bytes, DWORD pixelOffset);
    bool loadBitFields(const BYTE* data, DWORD pixelOffset);
    BITMAPFILEHEADER fileHeader() const;

    BITMAPINFO* info = nullptr;
    BYTE* bits = nullptr;
    HDC memoryDC = nullptr;
    HBITMAP bitmap = nullptr;
    mutable HGDIOBJ previousObject = nullptr;
    HPALETTE palette = nullptr;
    mutable int selectCount = 0;
};
