#include <gtest/gtest.h>
#include <cstring>
#include "imaging/Dib.h"
#include "support/BitFieldBmp.h"
#include "support/ImagingTestSupport.h"

namespace {

const DWORD* masksOf(const Dib& dib)
{
    return reinterpret_cast<const DWORD*>(dib.getInfo()->bmiColors);
}

BITMAPFILEHEADER fileHeaderOf(const Dib& dib)
{
    StreamPtr stream(dib.toStream());
    BITMAPFILEHEADER header = {};
    if (stream) {
        std::vector<BYTE> bytes = bytesOf(stream.get());
        std::memcpy(&header, bytes.data(), sizeof(header));
    }
    return header;
}

bool isSelected(const Dib& dib, HDC dc)
{
    return GetCurrentObject(dc, OBJ_BITMAP) == dib.getBitmap();
}

// A picture whose every pixel differs from its neighbours: indices for colour-table depths, bytes otherwise.
void drawPattern(Dib& dib)
{
    for (int y = 0; y < dib.height(); ++y)
        for (int x = 0; x < dib.width(); ++x) {
            if (dib.bitCount() <= 8) {
                setDibIndex(dib, x, y, (x * 3 + y * 5) % (1 << dib.bitCount()));
                continue;
            }
            BYTE* pixel = dibPixel(dib, x, y);
            for (int b = 0; b < dib.bitCount() / 8; ++b)
                pixel[b] = static_cast<BYTE>(x * 17 + y * 31 + b * 71);
        }
}

// A palette of distinct colours unlike any default palette.
void giveOwnPalette(Dib& dib)
{
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = PALETTEENTRY{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 13), 0};
    ASSERT_TRUE(dib.setColorTable(entries));
}

void expectSamePicture(const Dib& expected, const Dib& actual)
{
    ASSERT_FALSE(actual.isEmpty());
    EXPECT_EQ(actual.width(), expected.width());
    EXPECT_EQ(actual.height(), expected.height());
    EXPECT_EQ(actual.bitCount(), expected.bitCount());
    ASSERT_EQ(actual.colorCount(), expected.colorCount());
    if (expected.colorCount()) {
        EXPECT_EQ(0, std::memcmp(actual.getColorTable(), expected.getColorTable(), 4 * expected.colorCount()));
    }
    int rowBytes = (expected.width() * expected.bitCount() + 7) / 8;
    for (int y = 0; y < expected.height(); ++y)
        ASSERT_EQ(0, std::memcmp(dibPixel(actual, 0, y), dibPixel(expected, 0, y), rowBytes)) << "row " << y;
}

} // namespace

TEST(Dib, CreateShapesHeaderMasksAndSize)
{
    Dib dib;
    ASSERT_TRUE(dib.create(13, 7, 16, RGB(0, 0, 0)));
    EXPECT_EQ(dib.getInfo()->bmiHeader.biCompression, static_cast<DWORD>(BI_BITFIELDS));
    EXPECT_EQ(masksOf(dib)[0], 0x7C00u);
    EXPECT_EQ(masksOf(dib)[1], 0x03E0u);
    EXPECT_EQ(masksOf(dib)[2], 0x001Fu);
    EXPECT_EQ(dib.imageSize(), 28 * 7);
    EXPECT_EQ(fileHeaderOf(dib).bfOffBits, 14u + 40 + 12);

    ASSERT_TRUE(dib.create(13, 7, 32, RGB(0, 0, 0)));
    EXPECT_EQ(masksOf(dib)[0], 0xFF0000u);
    EXPECT_EQ(masksOf(dib)[1], 0x00FF00u);
    EXPECT_EQ(masksOf(dib)[2], 0x0000FFu);

    ASSERT_TRUE(dib.create(13, 7, 24, RGB(10, 20, 30)));
    EXPECT_EQ(dib.getInfo()->bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(dib.colorCount(), 0);
    EXPECT_EQ(dib.getPalette(), nullptr);
    EXPECT_EQ(fileHeaderOf(dib).bfOffBits, 14u + 40);
    EXPECT_EQ(dib.stride(), 40);
    BYTE* pixel = dibPixel(dib, 12, 6);
    EXPECT_EQ(pixel[0], 30);
    EXPECT_EQ(pixel[1], 20);
    EXPECT_EQ(pixel[2], 10);
}

TEST(Dib, BadSizeKeepsThePictureAndBadDepthEmptiesIt)
{
    Dib dib;
    ASSERT_TRUE(dib.create(5, 5, 24, RGB(1, 2, 3)));
    SetLastError(0);
    EXPECT_FALSE(dib.create(0, 10, 24, RGB(0, 0, 0)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(dib.width(), 5);

    EXPECT_FALSE(dib.create(10, 10, 2, RGB(0, 0, 0)));
    EXPECT_TRUE(dib.isEmpty());
    EXPECT_EQ(dib.width(), 0);
    SetLastError(0);
    EXPECT_EQ(dib.colorCount(), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Dib, DefaultColourTables)
{
    Dib dib;
    ASSERT_TRUE(dib.create(3, 3, 1, RGB(255, 255, 255)));
    ASSERT_EQ(dib.colorCount(), 2);
    EXPECT_EQ(dib.getColorTable()[0].rgbRed, 0);
    EXPECT_EQ(dib.getColorTable()[1].rgbBlue, 255);
    EXPECT_EQ(dibIndex(dib, 2, 2), 1);
    EXPECT_NE(dib.getPalette(), nullptr);

    // The 16 VGA colours: white, blue, magenta and cyan included.
    ASSERT_TRUE(dib.create(3, 3, 4, RGB(255, 255, 255)));
    ASSERT_EQ(dib.colorCount(), 16);
    const RGBQUAD* table = dib.getColorTable();
    EXPECT_EQ(table[7].rgbRed, 192);
    EXPECT_EQ(table[8].rgbRed, 128);
    EXPECT_EQ(table[8].rgbBlue, 128);
    EXPECT_EQ(table[12].rgbBlue, 255);
    EXPECT_EQ(table[12].rgbRed, 0);
    EXPECT_EQ(table[15].rgbRed, 255);
    EXPECT_EQ(table[15].rgbGreen, 255);
    EXPECT_EQ(table[15].rgbBlue, 255);
    EXPECT_EQ(dibIndex(dib, 1, 1), 15);

    ASSERT_TRUE(dib.create(3, 3, 8, RGB(0, 0, 0)));
    ASSERT_EQ(dib.colorCount(), 256);
    bool hasWhite = false;
    for (int i = 0; i < 256; ++i)
        hasWhite |= dib.getColorTable()[i].rgbRed == 255 && dib.getColorTable()[i].rgbGreen == 255 &&
                    dib.getColorTable()[i].rgbBlue == 255;
    EXPECT_TRUE(hasWhite);
}

TEST(Dib, SetColorTableRebuildsThePalette)
{
    Dib dib;
    ASSERT_TRUE(dib.create(4, 4, 8, RGB(0, 0, 0)));
    giveOwnPalette(dib);
    EXPECT_EQ(dib.getColorTable()[3].rgbRed, 21);
    EXPECT_EQ(dib.getColorTable()[3].rgbGreen, 252);
    EXPECT_EQ(dib.getColorTable()[3].rgbBlue, 39);
    PALETTEENTRY entry = {};
    ASSERT_EQ(GetPaletteEntries(dib.getPalette(), 3, 1, &entry), 1u);
    EXPECT_EQ(entry.peRed, 21);
    RGBQUAD section[4] = {};
    ASSERT_EQ(GetDIBColorTable(dib.getDC(), 0, 4, section), 4u);
    dib.releaseDC();
    EXPECT_EQ(section[3].rgbBlue, 39);

    SetLastError(0);
    EXPECT_FALSE(dib.setColorTable(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ASSERT_TRUE(dib.create(4, 4, 24, RGB(0, 0, 0)));
    PALETTEENTRY entries[1] = {};
    EXPECT_FALSE(dib.setColorTable(entries));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    Dib empty;
    EXPECT_FALSE(empty.setColorTable(entries));
    EXPECT_FALSE(empty.createPalette());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

TEST(Dib, NestedGetDCSelectsOnce)
{
    Dib dib;
    ASSERT_TRUE(dib.create(2, 2, 24, RGB(0, 0, 0)));
    HDC dc = dib.getDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(isSelected(dib, dc));
    EXPECT_EQ(dib.getDC(), dc);
    dib.releaseDC();
    EXPECT_TRUE(isSelected(dib, dc));
    dib.releaseDC();
    EXPECT_FALSE(isSelected(dib, dc));
    dib.releaseDC(); // unbalanced: nothing happens
    EXPECT_FALSE(isSelected(dib, dc));
    Dib empty;
    EXPECT_EQ(empty.getDC(), nullptr);
    empty.releaseDC();
}

TEST(Dib, ResizeStretchesAndCanvasFills)
{
    Dib dib;
    ASSERT_TRUE(dib.create(2, 1, 24, RGB(255, 0, 0)));
    dibPixel(dib, 1, 0)[0] = 255; // right pixel: red + blue
    EXPECT_TRUE(dib.resize(2, 1));
    EXPECT_EQ(dib.width(), 2);

    ASSERT_TRUE(dib.resize(4, 2));
    EXPECT_EQ(dib.width(), 4);
    EXPECT_EQ(dib.height(), 2);
    EXPECT_EQ(dibPixel32(dib, 0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(dibPixel32(dib, 1, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(dibPixel32(dib, 2, 0) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(dibPixel32(dib, 3, 1) & 0xFFFFFF, 0xFF00FFu);

    ASSERT_TRUE(dib.resizeCanvas(6, 3, RGB(0, 255, 0)));
    EXPECT_EQ(dibPixel32(dib, 0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(dibPixel32(dib, 3, 1) & 0xFFFFFF, 0xFF00FFu);
    EXPECT_EQ(dibPixel32(dib, 4, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(dibPixel32(dib, 0, 2) & 0xFFFFFF, 0x00FF00u);

    ASSERT_TRUE(dib.resizeCanvas(1, 1, RGB(0, 0, 0)));
    EXPECT_EQ(dibPixel32(dib, 0, 0) & 0xFFFFFF, 0xFF0000u);

    Dib empty;
    EXPECT_FALSE(empty.resize(3, 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_FALSE(empty.resizeCanvas(3, 3, 0));
}

TEST(Dib, CopiesAtScaleAndOfRegions)
{
    Dib source;
    ASSERT_TRUE(source.create(4, 4, 8, RGB(0, 0, 0)));
    giveOwnPalette(source);
    drawPattern(source);

    Dib copy(source);
    expectSamePicture(source, copy);

    Dib self(source);
    ASSERT_TRUE(self.copyScaled(self, 1.0));
    expectSamePicture(source, self);
    ASSERT_TRUE(self.copyScaled(self, 0.5));
    EXPECT_EQ(self.width(), 2);
    EXPECT_EQ(self.colorCount(), 256);

    Dib doubled;
    ASSERT_TRUE(doubled.copyScaled(source, 2.0));
    EXPECT_EQ(doubled.width(), 8);
    EXPECT_EQ(dibIndex(doubled, 7, 7), dibIndex(source, 3, 3));
    EXPECT_EQ(dibIndex(doubled, 2, 4), dibIndex(source, 1, 2));

    Dib region;
    ASSERT_TRUE(region.copyRegionScaled(source, 1.0, 1, 2, 3, 2));
    EXPECT_EQ(region.width(), 3);
    EXPECT_EQ(region.height(), 2);
    EXPECT_EQ(dibIndex(region, 0, 0), dibIndex(source, 1, 2));
    EXPECT_EQ(dibIndex(region, 2, 1), dibIndex(source, 3, 3));
    ASSERT_TRUE(region.copyRegionScaled(region, 2.0, 1, 0, 1, 1));
    EXPECT_EQ(region.width(), 2);
    EXPECT_EQ(dibIndex(region, 1, 1), dibIndex(source, 2, 2));

    Dib empty;
    ASSERT_TRUE(copy.copyScaled(empty, 3.0));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_TRUE(empty.copyScaled(empty, 2.0));
}

TEST(Dib, CopyAtDepthDrawsOpaqueDeepCopiesAndRefusesPaletteDepths)
{
    Dib source;
    ASSERT_TRUE(source.create(3, 2, 24, RGB(10, 20, 30)));
    Dib copy;
    ASSERT_TRUE(copy.copyAtDepth(source, 32));
    EXPECT_EQ(copy.bitCount(), 32);
    EXPECT_EQ(dibPixel32(copy, 2, 1), 0xFF0A141Eu);

    SetLastError(0);
    EXPECT_FALSE(copy.copyAtDepth(source, 8));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(copy.isEmpty());
    EXPECT_FALSE(source.copyAtDepth(source, 32));
    EXPECT_EQ(source.bitCount(), 24);
}

TEST(Dib, AspectPercentOfTheLongerSide)
{
    Dib dib;
    int widthPercent = -1;
    int heightPercent = -1;
    EXPECT_FALSE(dib.aspectPercent(widthPercent, heightPercent));
    EXPECT_EQ(widthPercent, 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    ASSERT_TRUE(dib.create(50, 200, 24, 0));
    ASSERT_TRUE(dib.aspectPercent(widthPercent, heightPercent));
    EXPECT_EQ(widthPercent, 25);
    EXPECT_EQ(heightPercent, 100);
    ASSERT_TRUE(dib.create(300, 200, 24, 0));
    ASSERT_TRUE(dib.aspectPercent(widthPercent, heightPercent));
    EXPECT_EQ(widthPercent, 100);
    EXPECT_EQ(heightPercent, 66);
}

TEST(Dib, RoundTripsThroughFilesAndStreamsAtEveryDepth)
{
    ScratchFolder folder(L"dib-roundtrip");
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        Dib dib;
        ASSERT_TRUE(dib.create(13, 7, bits, RGB(0, 0, 0)));
        if (bits <= 8)
            giveOwnPalette(dib);
        drawPattern(dib);

        std::wstring path = folder.file(L"picture.bmp");
        ASSERT_TRUE(dib.saveBmpFile(openForWriting(path)));
        Dib fromFile;
        ASSERT_TRUE(fromFile.loadBmpFile(openForReading(path)));
        expectSamePicture(dib, fromFile);

        StreamPtr stream(dib.toStream());
        ASSERT_TRUE(stream);
        ULARGE_INTEGER position = {};
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_CUR, &position);
        EXPECT_EQ(position.QuadPart, readBytes(path).size()); // left at its end, same bytes as the file
        EXPECT_EQ(bytesOf(stream.get()), readBytes(path));
        Dib fromStream;
        ASSERT_TRUE(fromStream.loadFromStream(stream.get()));
        expectSamePicture(dib, fromStream);
    }
}

TEST(Dib, TopDownFileBecomesBottomUp)
{
    // 2 x 2, 24 bits, negative height: the first row in the file is the top row.
    std::vector<BYTE> file = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF,
                              0xFF, 0xFF, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0, 0, 0,
                              // top row: blue, green; bottom row: red, white
                              255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0};
    ScratchFolder folder(L"dib-topdown");
    std::wstring path = folder.file(L"topdown.bmp");
    writeBytes(path, file);
    Dib dib;
    ASSERT_TRUE(dib.loadBmpFile(openForReading(path)));
    EXPECT_EQ(dib.height(), 2);
    EXPECT_EQ(dibPixel32(dib, 0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(dibPixel32(dib, 1, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(dibPixel32(dib, 0, 1) & 0xFFFFFF, 0xFF0000u);

    ASSERT_TRUE(dib.saveBmpFile(openForWriting(path)));
    std::vector<BYTE> saved = readBytes(path);
    ASSERT_GE(saved.size(), 26u);
    LONG height;
    std::memcpy(&height, &saved[22], sizeof(height));
    EXPECT_EQ(height, 2);
    // Bottom-up: the red pixel's row comes first.
    EXPECT_EQ(saved[54 + 2], 255);
}

TEST(Dib, PackedDibsWithMasksInsideTheirHeaderFindTheirPixels)
{
    // Six colours in two rows; a colour profile may follow the pixels of a V5 picture.
    const std::vector<BitFields> pixels = {{200, 10, 20},   {30, 220, 40}, {50, 60, 230},
                                           {255, 255, 255}, {1, 2, 3},     {128, 64, 32}};
    const Bytes profile(300, 0xAB);
    for (DWORD headerBytes : {DWORD(sizeof(BITMAPV4HEADER)), DWORD(sizeof(BITMAPV5HEADER))}) {
        for (const Bytes& trailing : {Bytes(), profile}) {
            SCOPED_TRACE(testing::Message() << headerBytes << "-byte header, " << trailing.size() << " bytes after");
            BitFieldLayout layout{headerBytes, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0};
            Bytes packed = packedBitFieldDib(layout, 3, 2, pixels, trailing);
            StreamPtr stream(streamOf(bitFieldBmpFile(layout, 3, 2, pixels, trailing)));
            Dib fromPacked;
            Dib fromStream;
            ASSERT_TRUE(fromPacked.loadPackedDib(reinterpret_cast<const BITMAPINFO*>(packed.data()),
                                                 static_cast<DWORD>(packed.size())));
            ASSERT_TRUE(fromStream.loadFromStream(stream.get()));
            for (const Dib* dib : {&fromPacked, &fromStream}) {
                ASSERT_EQ(dib->width(), 3);
                ASSERT_EQ(dib->height(), 2);
                for (int i = 0; i < 6; ++i) {
                    const BitFields& p = pixels[i];
                    EXPECT_EQ(dibPixel32(*dib, i % 3, i / 3) & 0xFFFFFF, p.red << 16 | p.green << 8 | p.blue) << i;
                }
            }
        }
    }
}

TEST(Dib, RunLengthFileBecomesPlainSection)
{
    // 4 x 2, 8 bits RLE: bottom row 4 x index 1, top row 2 x index 2 then 2 x index 0.
    std::vector<BYTE> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0, 40, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0, 1,
                              0, 8, 0, 1, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,
                              // colour table: black, red, green
                              0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0,
                              // RLE data
                              4, 1, 0, 0, 2, 2, 2, 0, 0, 1};
    ScratchFolder folder(L"dib-rle");
    std::wstring path = folder.file(L"rle.bmp");
    writeBytes(path, file);
    Dib dib;
    ASSERT_TRUE(dib.loadBmpFile(openForReading(path)));
    EXPECT_EQ(dib.getInfo()->bmiHeader.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(dib.colorCount(), 3);
    EXPECT_EQ(dibIndex(dib, 0, 1), 1);
    EXPECT_EQ(dibIndex(dib, 3, 1), 1);
    EXPECT_EQ(dibIndex(dib, 1, 0), 2);
    EXPECT_EQ(dibIndex(dib, 2, 0), 0);
}

TEST(Dib, MalformedHeadersFailWithBadArgumentAndCloseTheHandle)
{
    ScratchFolder folder(L"dib-malformed");
    std::wstring path = folder.file(L"bad.bmp");
    Dib dib;
    for (const std::vector<BYTE>& bytes : {std::vector<BYTE>{'B', 'M', 14, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0},
                                           std::vector<BYTE>(100, 'X'), std::vector<BYTE>{'B'}}) {
        ASSERT_TRUE(dib.create(2, 2, 24, 0));
        writeBytes(path, bytes);
        SetLastError(0);
        EXPECT_FALSE(dib.loadBmpFile(openForReading(path)));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_TRUE(dib.isEmpty());
        EXPECT_TRUE(DeleteFileW(path.c_str())) << "the handle was left open";
    }
    EXPECT_FALSE(dib.loadBmpFile(INVALID_HANDLE_VALUE));

    for (size_t size : {0, 14}) {
        StreamPtr stream(streamOf(std::vector<BYTE>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}));
        stream->SetSize(ULARGE_INTEGER{{static_cast<DWORD>(size), 0}});
        SetLastError(0);
        EXPECT_FALSE(dib.loadFromStream(stream.get()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_FALSE(dib.loadFromStream(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Dib, EmptyDibWritesNothing)
{
    ScratchFolder folder(L"dib-empty");
    std::wstring path = folder.file(L"empty.bmp");
    Dib empty;
    EXPECT_FALSE(empty.saveBmpFile(openForWriting(path)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "the handle was left open";
    EXPECT_EQ(empty.toStream(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    HDC screen = GetDC(nullptr);
    EXPECT_FALSE(empty.drawScaled(screen, 1.0));
    ReleaseDC(nullptr, screen);
}
