#include <gtest/gtest.h>
#include <cstdio>
#include <functional>
#include <string>
#include <memory>
#include <vector>
#include "conversion/ConvolutionFilter.h"
#include "conversion/Edge.h"
#include "conversion/EdgeDetect.h"
#include "conversion/Emboss.h"
#include "conversion/Equalize.h"
#include "conversion/Median.h"
#include "conversion/PixelFilter.h"
#include "conversion/Pixelate.h"
#include "conversion/RadialBlur.h"
#include "conversion/Sharp.h"
#include "conversion/Soft.h"
#include "foundation/MemoryAllocator.h"
#include "support/CancelAfter.h"
#include "support/ImagingTestSupport.h"

namespace {

using ImageConvert::ImageConverter;

constexpr UINT32 grey(int level, int alpha = 0xFF)
{
    return static_cast<UINT32>(alpha) << 24 | level << 16 | level << 8 | level;
}


using Pixels = std::vector<UINT32>;

ImageConverter* kernel(IConvolutionFilter* filter, unsigned int passes = 1)
{
    return new ImageConvert::ConvolutionFilter(filter, true, passes);
}

ImageConverter* pixels(IPixelFilter* filter)
{
    return new ImageConvert::PixelFilter(filter, true);
}

struct FilterCase {
    const char* name;
    std::function<ImageConverter*()> make;
    int width;
    int height;
    Pixels input;
    Pixels expected;
};

// 4 x 4 grey 100 with one brighter pixel inside the outer ring, at (2, 2), half transparent.
const Pixels Bump4 = {
    grey(100), grey(100), grey(100), grey(100),
    grey(100), grey(100), grey(100), grey(100),
    grey(100), grey(100), grey(160, 0x80), grey(100),
    grey(100), grey(100), grey(100), grey(100),
};

// 3 x 3: only the middle pixel is ever read as a neighbour. Gradient strengths are 3 x |v - 100| at the
// corners and 6 x |v - 100| at the side middles; the strongest is 600, so the threshold is 75.
const Pixels EdgeThreshold3 = {
    grey(125), grey(200),       grey(74),
    grey(112), grey(100),       grey(87),
    grey(100), grey(100, 0x30), grey(100),
};

// 5 x 5 dark with a lone bright pixel in the middle.
const Pixels Speck5 = {
    grey(20), grey(20), grey(20),  grey(20), grey(20),
    grey(20), grey(20), grey(20),  grey(20), grey(20),
    grey(20), grey(20), grey(250), grey(20), grey(20),
    grey(20), grey(20), grey(20),  grey(20), grey(20),
    grey(20), grey(20), grey(20),  grey(20), grey(20),
};

// Each pixel different, with its own alpha: 0xA0yyxx0F for the pixel at (x, y).
Pixels numbered(int width, int height)
{
    Pixels result;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            result.push_back(0xA0000000u + (y << 16 | x << 8 | 0x0F) + (x + y) * 0x01000000u);
    return result;
}

// The numbered picture with each pixel replaced by the one at the given place.
Pixels takenFrom(int width, int height, std::function<std::pair<int, int>(int, int)> place)
{
    Pixels source = numbered(width, height);
    Pixels result;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto [fromX, fromY] = place(x, y);
            result.push_back(source[fromY * width + fromX]);
        }
    return result;
}

const std::vector<FilterCase>& filterCases()
{
    static const std::vector<FilterCase> cases = {
        {"soft", [] { return kernel(new Soft()); }, 4, 4, Bump4,
         {grey(100), grey(100), grey(100), grey(100),
          grey(100), grey(106), grey(106), grey(106),
          grey(100), grey(106), grey(140, 0x80), grey(106),
          grey(100), grey(106), grey(106), grey(106)}},
        {"sharp", [] { return kernel(new Sharp()); }, 4, 4, Bump4,
         {grey(100), grey(100), grey(100), grey(100),
          grey(100), grey(93), grey(93), grey(93),
          grey(100), grey(93), grey(179, 0x80), grey(93),
          grey(100), grey(93), grey(93), grey(93)}},
        // Ring pixels next to the bump read it; the bump's own taps on the ring read the bump.
        {"edge", [] { return kernel(new Edge()); }, 4, 4, Bump4,
         {grey(100), grey(100), grey(100), grey(100),
          grey(100), grey(100), grey(40), grey(100),
          grey(100), grey(40), grey(255, 0x80), grey(40),
          grey(100), grey(100), grey(40), grey(100)}},
        {"edge twice", [] { return kernel(new Edge(), 2); }, 4, 4, Bump4,
         {grey(100), grey(100), grey(160), grey(100),
          grey(100), grey(220), grey(0), grey(160),
          grey(160), grey(0), grey(255, 0x80), grey(0),
          grey(100), grey(160), grey(0), grey(100)}},
        {"emboss", [] { return kernel(new Emboss(1)); }, 4, 4, Bump4,
         {grey(0), grey(0), grey(0), grey(0),
          grey(0), grey(0), grey(0), grey(0),
          grey(0), grey(0), grey(0, 0x80), grey(60),
          grey(0), grey(0), grey(60), grey(60)}},
        {"edge detect", [] { return pixels(new EdgeDetect()); }, 3, 3, EdgeThreshold3,
         {White, Black, Black,
          White, White, Black,
          White, grey(255, 0x30), White}},
        {"edge detect of a bump", [] { return pixels(new EdgeDetect()); }, 4, 4, Bump4,
         {White, White, White, White,
          White, Black, Black, Black,
          White, Black, grey(0, 0x80), Black,
          White, Black, Black, Black}},
        {"median removes a speck", [] { return pixels(new Median()); }, 5, 5, Speck5, Pixels(25, grey(20))},
        // Inside the ring only the middle pixel has nine real neighbours; (2, 1) reads itself for the top row
        // and so keeps its green and blue while its outlying red goes.
        {"median per channel", [] { return pixels(new Median()); }, 5, 5,
         {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
          0xFF000000, 0xFF010901, 0xFFF00802, 0xFF030703, 0xFF000000,
          0xFF000000, 0xFF040604, 0x80050505, 0xFF060404, 0xFF000000,
          0xFF000000, 0xFF070309, 0xFF080208, 0xFF090107, 0xFF000000,
          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000},
         {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
          0xFF000000, 0xFF010901, 0xFF060802, 0xFF030703, 0xFF000000,
          0xFF000000, 0xFF040604, 0x80060504, 0xFF060404, 0xFF000000,
          0xFF000000, 0xFF070309, 0xFF080208, 0xFF090107, 0xFF000000,
          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000}},
        {"pixelate 2 on 3 x 3", [] { return pixels(new Pixelate(2, false)); }, 3, 3, numbered(3, 3),
         takenFrom(3, 3, [](int x, int y) { return std::make_pair(x / 2 * 2, y / 2 * 2); })},
        {"pixelate 2 on 3 x 3 from the bottom", [] { return pixels(new Pixelate(2, true)); }, 3, 3, numbered(3, 3),
         takenFrom(3, 3, [](int x, int y) { return std::make_pair(x / 2 * 2, y == 0 ? 0 : 2); })},
        {"pixelate 3 on 4 x 4", [] { return pixels(new Pixelate(3, false)); }, 4, 4, numbered(4, 4),
         takenFrom(4, 4, [](int x, int y) { return std::make_pair(x / 3 * 3, y / 3 * 3); })},
        {"pixelate size 1 counts as 2", [] { return pixels(new Pixelate(1, false)); }, 3, 1, numbered(3, 1),
         takenFrom(3, 1, [](int x, int) { return std::make_pair(x / 2 * 2, 0); })},
        {"equalize ratio 0 keeps", [] { return pixels(new Equalize(0)); }, 2, 2,
         {grey(0), grey(50), grey(100), 0xFF102030}, {grey(0), grey(50), grey(100), 0xFF102030}},
        {"equalize fully", [] { return pixels(new Equalize(1)); }, 2, 2,
         {grey(0), grey(50), grey(100, 0x40), grey(200)}, {grey(0), grey(85), grey(170, 0x40), grey(255)}},
        // 255 / 2 = 127.5 rounds up to 128.
        {"equalize rounds to nearest", [] { return pixels(new Equalize(3)); }, 3, 1,
         {grey(0), grey(60), grey(120)}, {grey(0), grey(128), grey(255)}},
        {"equalize half way", [] { return pixels(new Equalize(0.5)); }, 3, 1,
         {grey(0), grey(60), grey(120)}, {grey(0), grey(94), grey(187)}},
        // Strength 200 on 5 pixels: samples 1/8 apart at the ends, 1/16 next to the middle; truncation toward
        // zero keeps the samples just left of column 0 in the picture.
        {"zoom blur along a row", [] { return pixels(new RadialBlur(200, RadialBlurZoom)); }, 5, 1,
         {grey(0), grey(180), grey(90), grey(0), grey(36, 0x70)},
         {grey(10), grey(104), grey(90), grey(37), grey(20, 0x70)}},
        {"zoom blur along a column", [] { return pixels(new RadialBlur(200, RadialBlurZoom)); }, 1, 5,
         {grey(0), grey(180), grey(90), grey(0), grey(36)},
         {grey(10), grey(104), grey(90), grey(37), grey(20)}},
        {"spin blur across a row reads nothing else", [] { return pixels(new RadialBlur(200, RadialBlurRotation)); },
         5, 1, {grey(0), grey(180), grey(90), grey(0), grey(36)},
         {grey(0), grey(180), grey(90), grey(0), grey(36)}},
        {"blur keeps the middle pixel", [] { return pixels(new RadialBlur(500, RadialBlurZoom)); }, 3, 3,
         numbered(3, 3), {}},
        {"blur of a single pixel", [] { return pixels(new RadialBlur(0, RadialBlurRotation)); }, 1, 1,
         {0x12345678}, {0x12345678}},
    };
    return cases;
}

Gdiplus::Bitmap* pictureOf(int width, int height, const Pixels& pixels)
{
    return makeBitmap32(width, height, [&](int x, int y) { return pixels[y * width + x]; });
}

std::string describe(const Pixels& pixels, int width)
{
    std::string text;
    char hex[12];
    for (size_t i = 0; i < pixels.size(); ++i) {
        sprintf(hex, "%08X%c", pixels[i], (i + 1) % width ? ' ' : '\n');
        text += hex;
    }
    return text;
}

class PixelFilters : public GdiplusTest {};

} // namespace

TEST_F(PixelFilters, EachFilterGivesTheExpectedPixels)
{
    for (const FilterCase& test : filterCases()) {
        SCOPED_TRACE(test.name);
        BitmapPtr source(pictureOf(test.width, test.height, test.input));
        std::unique_ptr<ImageConverter> converter(test.make());
        BitmapPtr result(converter->convert(source.get(), nullptr));
        ASSERT_TRUE(result);
        EXPECT_EQ(pixelsOf(source.get()), test.input) << "the input changed";
        Pixels actual = pixelsOf(result.get());
        if (test.expected.empty()) {
            int middle = test.width * test.height / 2;
            EXPECT_EQ(actual[middle], test.input[middle]);
            EXPECT_NE(actual, test.input);
            continue;
        }
        EXPECT_EQ(actual, test.expected) << "got\n" << describe(actual, test.width);
    }
}

TEST_F(PixelFilters, KernelsSummingToOneKeepAFlatPicture)
{
    // 0.11 and 0.12 are inexact in binary: a flat level must still come back as itself, on the ring too.
    Soft soft;
    Sharp sharp;
    Edge edge;
    IConvolutionFilter* kernels[] = {&soft, &sharp, &edge};
    for (IConvolutionFilter* filter : kernels) {
        ImageConvert::ConvolutionFilter converter(filter, false, 3);
        for (int level = 0; level < 256; ++level) {
            BitmapPtr flat(pictureOf(4, 4, Pixels(16, grey(level))));
            ASSERT_TRUE(converter.applyInPlace(flat.get(), nullptr));
            ASSERT_EQ(pixelsOf(flat.get()), Pixels(16, grey(level))) << "level " << level;
        }
    }
    BitmapPtr flat(pictureOf(4, 3, Pixels(12, grey(77))));
    BitmapPtr detected(ImageConvert::PixelFilter(new EdgeDetect(), true).convert(flat.get(), nullptr));
    ASSERT_TRUE(detected);
    EXPECT_EQ(pixelsOf(detected.get()), Pixels(12, White));
}

TEST_F(PixelFilters, EmbossDirections)
{
    double weights[9];
    Emboss(0).kernel(weights);
    EXPECT_EQ(std::vector<double>(weights, weights + 9), (std::vector<double>{1, 1, 1, 0, 0, 0, -1, -1, -1}));
    Emboss(5).kernel(weights);
    EXPECT_EQ(std::vector<double>(weights, weights + 9), (std::vector<double>{-1, -1, 0, -1, 0, 1, 0, 1, 1}));
    for (unsigned int direction : {7u, 8u, 0xFFFFFFFFu}) {
        Emboss(direction).kernel(weights);
        EXPECT_EQ(std::vector<double>(weights, weights + 9), (std::vector<double>{0, 1, 1, -1, 0, 1, -1, -1, 0}));
    }
}

TEST_F(PixelFilters, CancellationIsAskedPerRowAndStops)
{
    struct CancelCase {
        const char* name;
        std::function<ImageConverter*()> make;
        int questions; // on a 5 x 5 picture
    };
    const CancelCase cases[] = {
        {"soft, two passes", [] { return kernel(new Soft(), 2); }, 10},
        {"edge detect", [] { return pixels(new EdgeDetect()); }, 10},
        {"median", [] { return pixels(new Median()); }, 10},
        {"pixelate", [] { return pixels(new Pixelate(2, true)); }, 3},
        {"equalize", [] { return pixels(new Equalize(1)); }, 10},
        {"radial blur", [] { return pixels(new RadialBlur(50, RadialBlurZoom)); }, 5},
    };
    BitmapPtr source(pictureOf(5, 5, Speck5));
    for (const CancelCase& test : cases) {
        SCOPED_TRACE(test.name);
        std::unique_ptr<ImageConverter> converter(test.make());
        CancelAfter never(1000);
        BitmapPtr result(converter->convert(source.get(), &never));
        EXPECT_TRUE(result);
        EXPECT_EQ(never.asked, test.questions);
        for (int answers = 0; answers < test.questions; ++answers) {
            CancelAfter stop(answers);
            EXPECT_EQ(converter->convert(source.get(), &stop), nullptr);
            EXPECT_EQ(stop.asked, answers + 1);
        }
    }
    EXPECT_EQ(pixelsOf(source.get()), Speck5);
}

TEST_F(PixelFilters, CancelledNeighbourhoodFiltersLeaveThePictureOrCopiedRows)
{
    // The median is copied back row by row after its first pass of five rows.
    for (int answers : {3, 7, 8}) {
        BitmapPtr picture(pictureOf(5, 5, Speck5));
        CancelAfter stop(answers);
        EXPECT_FALSE(ImageConvert::PixelFilter(new Median(), true).applyInPlace(picture.get(), &stop));
        EXPECT_EQ(pixelAt(picture.get(), 2, 2), answers == 8 ? grey(20) : grey(250)) << answers;
    }
    // The blur copies nothing unless every row was done.
    BitmapPtr picture(pictureOf(5, 5, Speck5));
    CancelAfter late(4);
    EXPECT_FALSE(ImageConvert::PixelFilter(new RadialBlur(900, 0), true).applyInPlace(picture.get(), &late));
    EXPECT_EQ(pixelsOf(picture.get()), Speck5);
}

TEST_F(PixelFilters, FailuresAndCancelsSetTheirLastError)
{
    Pixels buffer(25, grey(20));
    buffer[12] = grey(250);
    EdgeDetect edgeDetect;
    Median median;
    Pixelate pixelate(2, false);
    Equalize equalize(1);
    RadialBlur blur(10, 0);
    IPixelFilter* filters[] = {&edgeDetect, &median, &pixelate, &equalize, &blur};
    auto bytes = reinterpret_cast<BYTE*>(buffer.data());
    for (IPixelFilter* filter : filters) {
        SetLastError(0);
        EXPECT_FALSE(filter->apply(nullptr, 5, 5, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_FALSE(filter->apply(bytes, 0, 5, nullptr));
        CancelAfter stop(0);
        SetLastError(5);
        EXPECT_FALSE(filter->apply(bytes, 5, 5, &stop));
        EXPECT_EQ(GetLastError(), 0u);
    }
    IPixelFilter* buffered[] = {&edgeDetect, &median, &blur};
    for (IPixelFilter* filter : buffered) {
        MemoryAllocator::failAfter(0);
        SetLastError(0);
        EXPECT_FALSE(filter->apply(bytes, 5, 5, nullptr));
        MemoryAllocator::failAfter(-1);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_EQ(buffer[12], grey(250));
    }
    // Too large for one block: refused before anything is allocated or read.
    SetLastError(0);
    EXPECT_FALSE(median.apply(bytes, 0x10000, 0x10000, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}
