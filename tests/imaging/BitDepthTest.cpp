#include <gtest/gtest.h>
#include <set>
#include "imaging/BitDepth.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"
#include "support/CancelAfter.h"
#include "support/ImagingTestSupport.h"

namespace {

class BitDepth : public GdiplusTest {};

UINT32 argb(int red, int green, int blue)
{
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// Ten colours on multiples of 8, so that the grouped histogram keeps them as they are.
UINT32 tenColors(int x, int y)
{
    int n = (x + 3 * y) % 10;
    return argb(n * 24, 248 - n * 16, (n * 56) % 256 & 0xF8);
}

std::set<UINT32> paletteOf(Gdiplus::Bitmap* bitmap)
{
    std::set<UINT32> colors;
    std::vector<BYTE> block(bitmap->GetPaletteSize());
    auto palette = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
    if (block.empty() || bitmap->GetPalette(palette, static_cast<INT>(block.size())) != Gdiplus::Ok)
        return colors;
    for (UINT i = 0; i < palette->Count; ++i)
        colors.insert(palette->Entries[i] | 0xFF000000u);
    return colors;
}

template <typename PixelOf>
void expectPixels(Gdiplus::Bitmap* bitmap, int width, int height, PixelOf pixelOf)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(pixelAt(bitmap, x, y), pixelOf(x, y)) << x << "," << y;
}

} // namespace

TEST_F(BitDepth, PaletteChoicesOfTheIndexedDepths)
{
    BitmapPtr source(makeBitmap32(20, 10, tenColors));
    source->SetResolution(300, 150);
    for (int choice : {ReduceMedianCutExact, ReduceMedianCutGrouped}) {
        BitmapPtr eight(gdipConvertBitDepth(source.get(), 8, choice, choice == ReduceMedianCutExact, nullptr));
        ASSERT_TRUE(eight);
        EXPECT_EQ(eight->GetPixelFormat(), PixelFormat8bppIndexed);
        EXPECT_EQ(paletteOf(eight.get()).size(), 11u) << "ten colours and black";
        expectPixels(eight.get(), 20, 10, tenColors);
        EXPECT_EQ(eight->GetHorizontalResolution(), 300.0f);
        EXPECT_EQ(eight->GetVerticalResolution(), 150.0f);
    }
    BitmapPtr four(gdipConvertBitDepth(source.get(), 4, ReduceMedianCutGrouped, false, nullptr));
    ASSERT_TRUE(four);
    EXPECT_EQ(four->GetPixelFormat(), PixelFormat4bppIndexed);
    expectPixels(four.get(), 20, 10, tenColors);

    BitmapPtr ramp(makeBitmap32(256, 4, [](int x, int) { return argb(x, x, x); }));
    BitmapPtr one(gdipConvertBitDepth(ramp.get(), 1, ReduceDefaultPalette, false, nullptr));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->GetPixelFormat(), PixelFormat1bppIndexed);
    EXPECT_EQ(paletteOf(one.get()), (std::set<UINT32>{argb(0, 0, 0), argb(255, 255, 255)}));
    EXPECT_EQ(pixelAt(one.get(), 100, 2), argb(0, 0, 0));
    EXPECT_EQ(pixelAt(one.get(), 200, 2), argb(255, 255, 255));
    EXPECT_EQ(pixelAt(ramp.get(), 100, 2), argb(100, 100, 100)) << "the source is not changed";
}

TEST_F(BitDepth, IndexedPicturesComeBackToDeepDepths)
{
    BitmapPtr source(makeBitmap32(20, 10, tenColors));
    BitmapPtr eight(gdipConvertBitDepth(source.get(), 8, ReduceMedianCutGrouped, false, nullptr));
    BitmapPtr four(gdipConvertBitDepth(source.get(), 4, ReduceMedianCutGrouped, false, nullptr));
    BitmapPtr checker(makeBitmap32(9, 5, [](int x, int y) { return (x + y) % 2 ? argb(255, 255, 255) : argb(0, 0, 0); }));
    BitmapPtr one(gdipConvertBitDepth(checker.get(), 1, ReduceDefaultPalette, false, nullptr));
    ASSERT_TRUE(eight && four && one);
    for (int bitCount : {24, 32}) {
        BitmapPtr deep8(gdipConvertBitDepth(eight.get(), bitCount, ReduceDefaultPalette, false, nullptr));
        BitmapPtr deep4(gdipConvertBitDepth(four.get(), bitCount, ReduceDefaultPalette, false, nullptr));
        BitmapPtr deep1(gdipConvertBitDepth(one.get(), bitCount, ReduceDefaultPalette, false, nullptr));
        ASSERT_TRUE(deep8 && deep4 && deep1);
        EXPECT_EQ(bitsPerPixel(deep8->GetPixelFormat()), bitCount);
        expectPixels(deep8.get(), 20, 10, tenColors);
        expectPixels(deep4.get(), 20, 10, tenColors);
        expectPixels(deep1.get(), 9, 5, [](int x, int y) { return (x + y) % 2 ? argb(255, 255, 255) : argb(0, 0, 0); });
    }
    // From 8 bits to 8 bits again: the palette is computed anew from the same colours.
    BitmapPtr again(gdipConvertBitDepth(eight.get(), 8, ReduceMedianCutExact, true, nullptr));
    ASSERT_TRUE(again);
    expectPixels(again.get(), 20, 10, tenColors);
}

TEST_F(BitDepth, DeepDepthsGetTheirFormats)
{
    BitmapPtr source(makeBitmap32(6, 4, [](int x, int y) { return argb(x * 40, y * 64, 200); }));
    source->SetResolution(72, 96);
    struct Case {
        int bitCount;
        Gdiplus::PixelFormat format;
        UINT32 mask; // the bits that survive the depth
    } cases[] = {{16, PixelFormat16bppRGB555, 0xFFF8F8F8},
                 {24, PixelFormat24bppRGB, 0xFFFFFFFF},
                 {32, PixelFormat32bppARGB, 0xFFFFFFFF},
                 {48, PixelFormat48bppRGB, 0xFFF0F0F0},
                 {64, PixelFormat64bppARGB, 0xFFF0F0F0}};
    for (const Case& test : cases) {
        BitmapPtr deep(gdipConvertBitDepth(source.get(), test.bitCount, ReduceDefaultPalette, false, nullptr));
        ASSERT_TRUE(deep) << test.bitCount;
        EXPECT_EQ(deep->GetPixelFormat(), test.format);
        EXPECT_EQ(deep->GetHorizontalResolution(), 72.0f);
        EXPECT_EQ(deep->GetVerticalResolution(), 96.0f);
        EXPECT_EQ(pixelAt(deep.get(), 5, 3) & test.mask, argb(200, 192, 200) & test.mask) << test.bitCount;
    }
    BitmapPtr translucent(makeBitmap32(2, 1, [](int x, int) { return x == 0 ? 0x80C86432u : 0x10FF0000u; }));
    BitmapPtr copy(gdipConvertBitDepth(translucent.get(), 32, ReduceDefaultPalette, false, nullptr));
    ASSERT_TRUE(copy);
    EXPECT_EQ(pixelAt(copy.get(), 0, 0), 0x80C86432u);
    EXPECT_EQ(pixelAt(copy.get(), 1, 0), 0x10FF0000u);
}

TEST_F(BitDepth, RefusesUnknownDepthsAndReportsCancellation)
{
    BitmapPtr source(makeBitmap32(120, 100, [](int x, int y) { return argb(x * 2, y * 2, x ^ y); }));
    for (int bitCount : {0, 2, 12, 128}) {
        SetLastError(0);
        EXPECT_EQ(gdipConvertBitDepth(source.get(), bitCount, ReduceDefaultPalette, false, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << bitCount;
    }
    SetLastError(0);
    EXPECT_EQ(gdipConvertBitDepth(nullptr, 8, ReduceDefaultPalette, false, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    CancelAfter canceller(20);
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(gdipConvertBitDepth(source.get(), 8, ReduceMedianCutExact, true, &canceller), nullptr);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST_F(BitDepth, CloseColoursOfAnIndexedPictureStayApart)
{
    // An 8-bit picture whose palette holds colours one step apart; GDI's own mapping would merge them.
    BitmapPtr source(createBitmap(4, 2, PixelFormat8bppIndexed));
    ASSERT_TRUE(source);
    std::vector<BYTE> block(sizeof(Gdiplus::ColorPalette) + 255 * sizeof(Gdiplus::ARGB));
    auto palette = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
    palette->Count = 256;
    const UINT32 colors[4] = {argb(10, 10, 10), argb(13, 13, 13), argb(200, 100, 50), argb(203, 98, 52)};
    for (int i = 0; i < 256; ++i)
        palette->Entries[i] = i < 4 ? colors[i] : argb(255, 255, 255);
    ASSERT_EQ(source->SetPalette(palette), Gdiplus::Ok);
    {
        BitmapLock lock(source.get(), Gdiplus::ImageLockModeWrite, PixelFormat8bppIndexed);
        ASSERT_TRUE(lock.isLocked());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                lock.row(y)[x] = static_cast<BYTE>((x + y) % 4);
    }
    for (int bitCount : {8, 4}) {
        BitmapPtr reduced(gdipConvertBitDepth(source.get(), bitCount, ReduceMedianCutExact, false, nullptr));
        ASSERT_TRUE(reduced);
        expectPixels(reduced.get(), 4, 2, [&](int x, int y) { return colors[(x + y) % 4]; });
    }
}
