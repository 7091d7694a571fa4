#include <gtest/gtest.h>
#include <cstdlib>
#include "imaging/BitmapGeometry.h"
#include "support/ImagingTestSupport.h"

namespace {

const Gdiplus::InterpolationMode AllModes[] = {
    Gdiplus::InterpolationModeDefault,          Gdiplus::InterpolationModeLowQuality,
    Gdiplus::InterpolationModeHighQuality,      Gdiplus::InterpolationModeBilinear,
    Gdiplus::InterpolationModeBicubic,          Gdiplus::InterpolationModeNearestNeighbor,
    Gdiplus::InterpolationModeHighQualityBilinear, Gdiplus::InterpolationModeHighQualityBicubic,
};

const Gdiplus::InterpolationMode FilteringModes[] = {
    Gdiplus::InterpolationModeBilinear,
    Gdiplus::InterpolationModeHighQualityBicubic,
};

BitmapPtr converted(Gdiplus::Bitmap* bitmap, Gdiplus::PixelFormat format)
{
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    return BitmapPtr(bitmap->Clone(all, format));
}

int channel(UINT32 pixel, int shift)
{
    return static_cast<int>(pixel >> shift & 0xFF);
}

class Resampling : public GdiplusTest {};

} // namespace

TEST_F(Resampling, FlatColourStaysExactInEveryModeAndSize)
{
    const std::pair<int, int> sizes[] = {{7, 5}, {40, 31}, {1, 9}, {9, 1}, {1, 1}};
    for (UINT32 colour : {0xFF336699u, 0x80C04020u}) {
        BitmapPtr flat(makeBitmap32(13, 11, [=](int, int) { return colour; }));
        for (Gdiplus::InterpolationMode mode : AllModes) {
            for (auto [width, height] : sizes) {
                BitmapPtr resized(resizeBitmap(flat.get(), width, height, mode));
                ASSERT_TRUE(resized);
                EXPECT_EQ(resized->GetPixelFormat(), PixelFormat32bppARGB);
                EXPECT_EQ(resized->GetWidth(), static_cast<UINT>(width));
                EXPECT_EQ(resized->GetHeight(), static_cast<UINT>(height));
                for (auto [x, y] : {std::pair{0, 0}, {width - 1, height - 1}, {width / 2, height / 2}})
                    EXPECT_EQ(pixelAt(resized.get(), x, y), colour) << mode << " " << width << "x" << height;
            }
        }
    }
    // The other 32-bit layouts take the same road; a single row or column as the source.
    BitmapPtr opaque(makeBitmap32(1, 12, [](int, int) { return 0xFF336699u; }));
    for (Gdiplus::PixelFormat format : {PixelFormat32bppRGB, PixelFormat32bppPARGB}) {
        BitmapPtr source(converted(opaque.get(), format));
        BitmapPtr resized(resizeBitmap(source.get(), 5, 3, Gdiplus::InterpolationModeHighQualityBicubic));
        ASSERT_TRUE(resized);
        EXPECT_EQ(pixelAt(resized.get(), 4, 2), 0xFF336699u);
    }
}

TEST_F(Resampling, ShrinkingAveragesTheSourcePixels)
{
    BitmapPtr four(makeBitmap32(2, 2, [](int x, int y) {
        const UINT32 colours[] = {0xFF000000, 0xFF204060, 0xFF402010, 0xFFC0A0FC};
        return colours[y * 2 + x];
    }));
    BitmapPtr checker(makeBitmap32(16, 16, [](int x, int y) { return (x + y) % 2 ? White : Black; }));
    for (Gdiplus::InterpolationMode mode : FilteringModes) {
        BitmapPtr averaged(resizeBitmap(four.get(), 1, 1, mode));
        ASSERT_TRUE(averaged);
        EXPECT_EQ(pixelAt(averaged.get(), 0, 0), 0xFF48405Bu) << mode;

        BitmapPtr grey(resizeBitmap(checker.get(), 8, 8, mode));
        ASSERT_TRUE(grey);
        // The mirrored edge repeats a pixel and so breaks the pattern there; the inside must not alias.
        for (int y = 2; y < 6; ++y) {
            for (int x = 2; x < 6; ++x) {
                UINT32 pixel = pixelAt(grey.get(), x, y);
                for (int shift : {0, 8, 16})
                    EXPECT_NEAR(channel(pixel, shift), 128, 1) << mode << " " << x << "," << y;
            }
        }
    }
}

TEST_F(Resampling, TransparentNeighboursLendNoColour)
{
    BitmapPtr pair(makeBitmap32(2, 2, [](int x, int) { return x == 0 ? Red : 0x00000000u; }));
    for (Gdiplus::InterpolationMode mode : FilteringModes) {
        for (auto [width, height] : {std::pair{9, 3}, {1, 1}}) {
            BitmapPtr resized(resizeBitmap(pair.get(), width, height, mode));
            ASSERT_TRUE(resized);
            bool sawTranslucent = false;
            for (int x = 0; x < width; ++x) {
                UINT32 pixel = pixelAt(resized.get(), x, 0);
                if (pixel >> 24 == 0)
                    continue;
                sawTranslucent = sawTranslucent || pixel >> 24 < 0xFF;
                EXPECT_EQ(pixel & 0xFFFFFF, 0xFF0000u) << mode << " " << x;
            }
            EXPECT_TRUE(sawTranslucent) << mode;
        }
    }
}

TEST_F(Resampling, NearestPicksTheCoveredPixels)
{
    BitmapPtr ramp(makeBitmap32(4, 2, [](int x, int y) { return 0xFF000000u | (x * 0x40) << 8 | y * 0x80; }));
    BitmapPtr shrunk(resizeBitmap(ramp.get(), 2, 1, Gdiplus::InterpolationModeNearestNeighbor));
    ASSERT_TRUE(shrunk);
    EXPECT_EQ(pixelAt(shrunk.get(), 0, 0), 0xFF004080u);
    EXPECT_EQ(pixelAt(shrunk.get(), 1, 0), 0xFF00C080u);
    BitmapPtr enlarged(resizeBitmap(ramp.get(), 8, 4, Gdiplus::InterpolationModeNearestNeighbor));
    ASSERT_TRUE(enlarged);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(pixelAt(enlarged.get(), x, 1), 0xFF000000u | (x / 2 * 0x40) << 8) << x;
        EXPECT_EQ(pixelAt(enlarged.get(), x, 2), 0xFF000080u | (x / 2 * 0x40) << 8) << x;
    }
}
