#include <gtest/gtest.h>
#include <tuple>
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapColors.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/DibConversion.h"
#include "imaging/GdiplusEncoder.h"
#include "support/ImagingTestSupport.h"

namespace {


// An 8-bit indexed bitmap with a palette of `colors` entries (entry i: the ARGB given) and pixels index(x, y).
template <typename IndexOf>
Gdiplus::Bitmap* makeIndexed8(int width, int height, const std::vector<UINT32>& colors, IndexOf indexOf)
{
    auto bitmap = new Gdiplus::Bitmap(width, height, PixelFormat8bppIndexed);
    std::vector<BYTE> block(sizeof(Gdiplus::ColorPalette) + 256 * sizeof(Gdiplus::ARGB));
    auto palette = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
    palette->Flags = 0;
    palette->Count = static_cast<UINT>(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        palette->Entries[i] = colors[i];
    bitmap->SetPalette(palette);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data;
    bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat8bppIndexed, &data);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<BYTE*>(data.Scan0)[y * data.Stride + x] = static_cast<BYTE>(indexOf(x, y));
    bitmap->UnlockBits(&data);
    return bitmap;
}

Gdiplus::Bitmap* quadrants(int width, int height)
{
    return makeBitmap32(width, height, [=](int x, int y) {
        if (y < height / 2)
            return x < width / 2 ? Red : Green;
        return x < width / 2 ? Blue : White;
    });
}

class BitmapOperations : public GdiplusTest {};

} // namespace

TEST_F(BitmapOperations, EncoderLookupIsExactAndCaseSensitive)
{
    CLSID clsid;
    EXPECT_GE(getEncoderClsid(L"image/png", &clsid), 0);
    EXPECT_NE(clsid, CLSID());
    EXPECT_EQ(getEncoderClsid(L"IMAGE/PNG", &clsid), -1);
    EXPECT_EQ(clsid, CLSID());
    EXPECT_EQ(getEncoderClsid(L"image/pn", &clsid), -1);
    EXPECT_EQ(getEncoderClsid(nullptr, &clsid), -1);
}

TEST_F(BitmapOperations, Dib32KeepsOrDropsAlphaAndFlipsRows)
{
    Dib dib;
    ASSERT_TRUE(dib.create(3, 2, 32, RGB(0, 0, 0)));
    *reinterpret_cast<UINT32*>(dibPixel(dib, 0, 0)) = 0x80102030; // top left
    *reinterpret_cast<UINT32*>(dibPixel(dib, 2, 1)) = 0x00405060; // bottom right
    BitmapPtr kept(dibToGdiplusBitmap(dib, true));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(pixelAt(kept.get(), 0, 0), 0x80102030u);
    EXPECT_EQ(pixelAt(kept.get(), 2, 1), 0x00405060u);
    BitmapPtr opaque(dibToGdiplusBitmap(dib, false));
    EXPECT_EQ(pixelAt(opaque.get(), 0, 0), 0xFF102030u);
    EXPECT_EQ(pixelAt(opaque.get(), 2, 1), 0xFF405060u);

    Dib empty;
    EXPECT_EQ(dibToGdiplusBitmap(empty, true), nullptr);
}

TEST_F(BitmapOperations, IndexedAndDeepDibsKeepDepthPaletteAndPixels)
{
    Dib dib;
    ASSERT_TRUE(dib.create(13, 3, 4, RGB(0, 0, 0)));
    PALETTEENTRY entries[16] = {};
    entries[5] = PALETTEENTRY{10, 20, 30, 0};
    ASSERT_TRUE(dib.setColorTable(entries));
    setDibIndex(dib, 12, 0, 5);
    BitmapPtr bitmap(dibToGdiplusBitmap(dib, false));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat4bppIndexed);
    EXPECT_EQ(pixelAt(bitmap.get(), 12, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixelAt(bitmap.get(), 12, 2), 0xFF000000u);

    ASSERT_TRUE(dib.create(5, 2, 24, RGB(1, 2, 3)));
    dibPixel(dib, 4, 1)[2] = 200;
    bitmap.reset(dibToGdiplusBitmap(dib, false));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_EQ(pixelAt(bitmap.get(), 0, 0), 0xFF010203u);
    EXPECT_EQ(pixelAt(bitmap.get(), 4, 1), 0xFFC80203u);

    ASSERT_TRUE(dib.create(4, 2, 16, RGB(255, 0, 0)));
    bitmap.reset(dibToGdiplusBitmap(dib, false));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat16bppRGB555);
    EXPECT_EQ(pixelAt(bitmap.get(), 3, 1) & 0xFFF8F8F8, 0xFFF80000u);
}

TEST_F(BitmapOperations, IndexedDibWhosePaletteCannotBeCopiedGivesNoBitmap)
{
    Dib dib;
    ASSERT_TRUE(dib.create(4, 2, 8, RGB(0, 0, 0)));
    // The copy of the palette is the conversion's only block of the allocator.
    MemoryAllocator::failAfter(0);
    SetLastError(0);
    Gdiplus::Bitmap* bitmap = dibToGdiplusBitmap(dib, false);
    DWORD error = GetLastError();
    MemoryAllocator::failAfter(-1);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    delete bitmap;
}

TEST_F(BitmapOperations, BitmapsBecomeDibs)
{
    BitmapPtr indexed(makeIndexed8(6, 4, {Black, 0xFF204060, White}, [](int x, int y) { return (x + y) % 3; }));
    std::unique_ptr<Dib> dib(gdiplusBitmapToDib(indexed.get()));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->bitCount(), 8);
    EXPECT_EQ(dib->width(), 6);
    EXPECT_EQ(dib->getColorTable()[1].rgbRed, 0x20);
    EXPECT_EQ(dib->getColorTable()[1].rgbBlue, 0x60);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dibIndex(*dib, x, y), (x + y) % 3) << x << "," << y;

    // A translucent pixel keeps its own colour, not one blended with the drawing's background.
    BitmapPtr translucent(makeBitmap32(3, 2, [](int x, int y) { return x == 1 && y == 1 ? 0x40C08020u : Green; }));
    dib.reset(gdiplusBitmapToDib(translucent.get()));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->bitCount(), 32);
    EXPECT_EQ(dibPixel32(*dib, 1, 1), 0xFFC08020u);
    EXPECT_EQ(dibPixel32(*dib, 0, 0), Green);

    BitmapPtr rgb24(new Gdiplus::Bitmap(2, 2, PixelFormat24bppRGB));
    rgb24->SetPixel(1, 0, Gdiplus::Color(0x11, 0x22, 0x33));
    dib.reset(gdiplusBitmapToDib(rgb24.get()));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->bitCount(), 24);
    EXPECT_EQ(dibPixel32(*dib, 1, 0) & 0xFFFFFF, 0x112233u);
    EXPECT_EQ(gdiplusBitmapToDib(nullptr), nullptr);
}

TEST_F(BitmapOperations, CopiesAreExactAndRectanglesMayOverhang)
{
    BitmapPtr source(makeBitmap32(4, 3, [](int x, int y) { return 0x01000000u * (x * 60 + y) + x * 17 + y; }));
    BitmapPtr copy(copyBitmap32(source.get()));
    ASSERT_TRUE(copy);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(copy.get(), x, y), pixelAt(source.get(), x, y));

    BitmapPtr part(copyBitmapRect32(source.get(), 2, 1, 4, 4));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->GetWidth(), 4u);
    EXPECT_EQ(pixelAt(part.get(), 0, 0), pixelAt(source.get(), 2, 1));
    EXPECT_EQ(pixelAt(part.get(), 1, 1), pixelAt(source.get(), 3, 2));
    EXPECT_EQ(pixelAt(part.get(), 2, 0), 0u);
    EXPECT_EQ(pixelAt(part.get(), 0, 2), 0u);
    EXPECT_EQ(copyBitmapRect32(source.get(), 0, 0, 0, 3), nullptr);
}

TEST_F(BitmapOperations, CopiesOfRgbPicturesAreOpaqueAndExact)
{
    for (Gdiplus::PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppRGB}) {
        BitmapPtr source(new Gdiplus::Bitmap(5, 3, format));
        source->SetPixel(3, 2, Gdiplus::Color(0x11, 0x22, 0x33));
        source->SetPixel(4, 0, Gdiplus::Color(0xAB, 0xCD, 0xEF));
        BitmapPtr part(copyBitmapRect32(source.get(), 2, 0, 3, 3));
        ASSERT_TRUE(part);
        EXPECT_EQ(pixelAt(part.get(), 1, 2), 0xFF112233u);
        EXPECT_EQ(pixelAt(part.get(), 2, 0), 0xFFABCDEFu);
        EXPECT_EQ(pixelAt(part.get(), 0, 0), 0xFF000000u);
    }
}

// Rows are widened several pixels at a time: every pixel of a row whose length is no multiple of that lands in
// its own place.
TEST_F(BitmapOperations, WholeCopiesOfRgbRowsOfAnyLengthAreExact)
{
    for (int width : {1, 4, 7, 13}) {
        BitmapPtr source(new Gdiplus::Bitmap(width, 2, PixelFormat24bppRGB));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                source->SetPixel(x, y, Gdiplus::Color(static_cast<BYTE>(x * 17 + y), static_cast<BYTE>(x * 5 + 100),
                                                      static_cast<BYTE>(255 - x * 9 - y)));
        BitmapPtr copy(copyBitmap32(source.get()));
        ASSERT_TRUE(copy);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(pixelAt(copy.get(), x, y), pixelAt(source.get(), x, y) | 0xFF000000u) << width << " " << x;
    }
}

TEST_F(BitmapOperations, ColourMaskAndTransparentColour)
{
    BitmapPtr source(quadrants(4, 4));
    BitmapPtr mask(makeColorMask(source.get(), RGB(0, 255, 0), false));
    ASSERT_TRUE(mask);
    EXPECT_EQ(pixelAt(mask.get(), 3, 0), White);
    EXPECT_EQ(pixelAt(mask.get(), 0, 0), Black);
    EXPECT_EQ(pixelAt(mask.get(), 3, 3), Black);
    mask.reset(makeColorMask(source.get(), RGB(0, 255, 0), true));
    EXPECT_EQ(pixelAt(mask.get(), 3, 0), Black);
    EXPECT_EQ(pixelAt(mask.get(), 0, 0), White);

    BitmapPtr transparent(applyTransparentColor(source.get(), RGB(0, 0, 255), 300));
    ASSERT_TRUE(transparent);
    EXPECT_EQ(pixelAt(transparent.get(), 0, 3), Blue);
    transparent.reset(applyTransparentColor(source.get(), RGB(0, 0, 255), 16));
    EXPECT_EQ(pixelAt(transparent.get(), 0, 3), 0x100000FFu);
    EXPECT_EQ(pixelAt(transparent.get(), 0, 0), Red);
    EXPECT_EQ(pixelAt(source.get(), 0, 3), Blue) << "the source changed";
}

TEST_F(BitmapOperations, TransparentColourOfOneBitPictureKeepsRowTails)
{
    BitmapPtr source(new Gdiplus::Bitmap(13, 2, PixelFormat1bppIndexed));
    Gdiplus::Rect all(0, 0, 13, 2);
    Gdiplus::BitmapData data;
    ASSERT_EQ(source->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat1bppIndexed, &data), Gdiplus::Ok);
    for (int y = 0; y < 2; ++y) {
        BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
        row[0] = 0;
        row[1] = 0x08; // pixel 12 set
    }
    source->UnlockBits(&data);
    ASSERT_EQ(pixelAt(source.get(), 12, 1), White);
    BitmapPtr part(copyBitmapRect32(source.get(), 11, 1, 2, 1)); // starts inside a byte
    ASSERT_TRUE(part);
    EXPECT_EQ(pixelAt(part.get(), 0, 0), Black);
    EXPECT_EQ(pixelAt(part.get(), 1, 0), White);
    BitmapPtr result(applyTransparentColor(source.get(), RGB(255, 255, 255), 0));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetPixelFormat(), PixelFormat1bppIndexed);
    EXPECT_EQ(pixelAt(result.get(), 12, 0), 0x00FFFFFFu);
    EXPECT_EQ(pixelAt(result.get(), 12, 1), 0x00FFFFFFu);
    EXPECT_EQ(pixelAt(result.get(), 11, 1), Black);
}

TEST_F(BitmapOperations, TransparencyIsFoundThroughPalettesAndAlpha)
{
    bool found = true;
    BitmapPtr used(makeIndexed8(3, 3, {Black, 0x00FF0000, White}, [](int x, int y) { return x == 2 && y == 2; }));
    ASSERT_TRUE(hasTransparency(used.get(), found));
    EXPECT_TRUE(found);
    BitmapPtr unused(makeIndexed8(3, 3, {Black, 0x00FF0000, White}, [](int x, int) { return x == 1 ? 2 : 0; }));
    ASSERT_TRUE(hasTransparency(unused.get(), found));
    EXPECT_FALSE(found);

    BitmapPtr opaque(quadrants(2, 2));
    ASSERT_TRUE(hasTransparency(opaque.get(), found));
    EXPECT_FALSE(found);
    BitmapPtr rgb24(new Gdiplus::Bitmap(2, 2, PixelFormat24bppRGB));
    ASSERT_TRUE(hasTransparency(rgb24.get(), found));
    EXPECT_FALSE(found);
    BitmapPtr premultiplied(new Gdiplus::Bitmap(2, 2, PixelFormat32bppPARGB));
    EXPECT_FALSE(hasTransparency(premultiplied.get(), found));
    EXPECT_FALSE(hasTransparency(nullptr, found));
}

TEST_F(BitmapOperations, MirroredBorderRepeatsTheEdges)
{
    BitmapPtr source(makeBitmap32(3, 2, [](int x, int y) { return x == 0 ? Red : y == 0 ? Green : Blue; }));
    BitmapPtr padded(padBitmapMirrored(source.get()));
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->GetWidth(), 13u);
    EXPECT_EQ(padded->GetHeight(), 12u);
    EXPECT_EQ(pixelAt(padded.get(), 5, 5), Red);
    EXPECT_EQ(pixelAt(padded.get(), 7, 6), Blue);
    EXPECT_EQ(pixelAt(padded.get(), 4, 5), Red);   // left of column 0
    EXPECT_EQ(pixelAt(padded.get(), 3, 5), Green); // mirrors column 1
    EXPECT_EQ(pixelAt(padded.get(), 8, 6), Blue);  // right of the last column
    EXPECT_EQ(pixelAt(padded.get(), 6, 4), Green); // above the top row
    EXPECT_EQ(pixelAt(padded.get(), 6, 7), Blue);  // below the bottom row
    EXPECT_EQ(pixelAt(padded.get(), 6, 8), Green);
}

TEST_F(BitmapOperations, ResizeKeepsTheFrameColourAtTheEdges)
{
    BitmapPtr framed(makeBitmap32(20, 20, [](int x, int y) {
        return x == 0 || y == 0 || x == 19 || y == 19 ? White : Black;
    }));
    for (Gdiplus::InterpolationMode mode : {Gdiplus::InterpolationModeBilinear, Gdiplus::InterpolationModeHighQualityBicubic}) {
        BitmapPtr resized(resizeBitmap(framed.get(), 40, 40, mode));
        ASSERT_TRUE(resized);
        EXPECT_EQ(resized->GetWidth(), 40u);
        for (auto [x, y] : {std::pair{0, 0}, {0, 20}, {39, 39}, {20, 0}, {39, 20}}) {
            UINT32 pixel = pixelAt(resized.get(), x, y);
            EXPECT_EQ(pixel >> 24, 0xFFu) << x << "," << y;
            EXPECT_GE(pixel & 0xFF, 0xF0u) << x << "," << y;
        }
        EXPECT_LE(pixelAt(resized.get(), 20, 20) & 0xFF, 0x10u);
    }
    EXPECT_EQ(resizeBitmap(nullptr, 4, 4, Gdiplus::InterpolationModeBilinear), nullptr);
}

TEST_F(BitmapOperations, CanvasAlignsAndCentresLargerPictures)
{
    BitmapPtr source(quadrants(4, 4));
    BitmapPtr canvas(placeOnCanvas(source.get(), 8, 6, 0xFF123456, 2, 1));
    ASSERT_TRUE(canvas);
    EXPECT_EQ(pixelAt(canvas.get(), 4, 1), Red);
    EXPECT_EQ(pixelAt(canvas.get(), 7, 4), White);
    EXPECT_EQ(pixelAt(canvas.get(), 3, 1), 0xFF123456u);
    EXPECT_EQ(pixelAt(canvas.get(), 4, 0), 0xFF123456u);

    // 4 wide on 1: x = (1 - 4) / 2 = -1, so column 1 of the picture shows.
    BitmapPtr wider(makeBitmap32(4, 1, [](int x, int) { return x == 1 ? Red : Blue; }));
    canvas.reset(placeOnCanvas(wider.get(), 1, 1, 0, 1, 0));
    EXPECT_EQ(pixelAt(canvas.get(), 0, 0), Red);
}

TEST_F(BitmapOperations, RotationBoundsAndPixels)
{
    int width = 0;
    int height = 0;
    Gdiplus::Point corners[3];
    rotatedBounds(100, 50, 90.0, width, height, corners);
    EXPECT_EQ(width, 50);
    EXPECT_EQ(height, 100);
    EXPECT_EQ(corners[0].X, 50);
    EXPECT_EQ(corners[0].Y, 0);
    rotatedBounds(100, 50, 180.0, width, height, corners);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 50);

    BitmapPtr source(quadrants(10, 6));
    BitmapPtr turned(rotateBitmap(source.get(), 0xFF000000, 90.0));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->GetWidth(), 6u);
    EXPECT_EQ(turned->GetHeight(), 10u);
    // Clockwise: the top-left quadrant (red) moves to the top right, the bottom-left (blue) to the top left.
    EXPECT_EQ(pixelAt(turned.get(), 4, 1), Red);
    EXPECT_EQ(pixelAt(turned.get(), 1, 1), Blue);
    EXPECT_EQ(pixelAt(turned.get(), 4, 8), Green);
    EXPECT_EQ(pixelAt(turned.get(), 1, 8), White);

    turned.reset(rotateBitmap(source.get(), 0xFF000000, 45.0));
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->GetWidth(), 11u);
    EXPECT_EQ(pixelAt(turned.get(), 0, 0), 0xFF000000u);
}

TEST_F(BitmapOperations, SkewBoundsAndLimits)
{
    BitmapPtr source(quadrants(10, 6));
    EXPECT_EQ(skewBitmap(0, 90.0, source.get(), false), nullptr);
    EXPECT_EQ(skewBitmap(0, -90.0, source.get(), true), nullptr);

    BitmapPtr skewed(skewBitmap(0xFF000000, 45.0, source.get(), false));
    ASSERT_TRUE(skewed);
    // tan 45 degrees is just below 1: 6 x tan 45 truncates to 5.
    EXPECT_EQ(skewed->GetWidth(), 15u);
    EXPECT_EQ(skewed->GetHeight(), 6u);
    // The top row starts 5 pixels in, the bottom row at the left edge.
    EXPECT_EQ(pixelAt(skewed.get(), 0, 0), 0xFF000000u);
    EXPECT_EQ(pixelAt(skewed.get(), 7, 0), Red);
    EXPECT_EQ(pixelAt(skewed.get(), 1, 5), Blue);

    skewed.reset(skewBitmap(0xFF000000, -30.0, source.get(), true));
    ASSERT_TRUE(skewed);
    EXPECT_EQ(skewed->GetWidth(), 10u);
    EXPECT_EQ(skewed->GetHeight(), 6u + 5u);
}

TEST_F(BitmapOperations, SlantsNearARightAngleThatWouldNeedGigabytesAreRefused)
{
    int width = 0;
    int height = 0;
    Gdiplus::Point corners[3];
    // tan 89.99 degrees is 5729.6: a 10-pixel side still slants by 57,295 pixels.
    EXPECT_TRUE(skewedBounds(10, 10, 89.99, false, width, height, corners));
    EXPECT_EQ(width, 57305);
    for (auto [across, down, vertical] : {std::tuple{9999, 800, false}, {200, 200, false}, {800, 9999, true}}) {
        SetLastError(0);
        EXPECT_FALSE(skewedBounds(across, down, -89.99, vertical, width, height, corners)) << across << " x " << down;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
}

TEST_F(BitmapOperations, DrawDibScaledFillsTheTarget)
{
    Dib source;
    ASSERT_TRUE(source.create(4, 4, 24, RGB(255, 255, 255)));
    Dib target;
    ASSERT_TRUE(drawDibScaled(source, target, 8, 6));
    EXPECT_EQ(target.width(), 8);
    EXPECT_EQ(target.height(), 6);
    EXPECT_EQ(target.bitCount(), 24);
    EXPECT_EQ(dibPixel32(target, 0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(dibPixel32(target, 7, 5) & 0xFFFFFF, 0xFFFFFFu);

    Dib empty;
    EXPECT_FALSE(drawDibScaled(empty, target, 8, 6));
    EXPECT_TRUE(target.isEmpty());
}
