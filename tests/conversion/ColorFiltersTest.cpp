#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "conversion/Alpha.h"
#include "conversion/ChangeRgb.h"
#include "conversion/ColorFilter.h"
#include "conversion/ColorValue.h"
#include "conversion/GrayScale.h"
#include "conversion/InvertColor.h"
#include "conversion/Light.h"
#include "conversion/Posterize.h"
#include "conversion/Sepia.h"
#include "conversion/Temperature.h"
#include "foundation/MemoryAllocator.h"
#include "support/ImagingTestSupport.h"

namespace {

constexpr UINT32 argb(int alpha, int red, int green, int blue)
{
    return static_cast<UINT32>(alpha) << 24 | red << 16 | green << 8 | blue;
}

constexpr UINT32 rgb(int red, int green, int blue)
{
    return argb(0xFF, red, green, blue);
}

constexpr UINT32 grey(int level)
{
    return rgb(level, level, level);
}

struct ColorCase {
    const char* name;
    std::function<IColorFilter*()> make;
    // Input pixel, expected pixel.
    std::vector<std::pair<UINT32, UINT32>> pixels;
};

ColorValue* offsets(int red, int green, int blue)
{
    auto filter = new ColorValue();
    filter->setRgb(red, green, blue);
    return filter;
}

ColorValue* hsvShift(double hue, double saturation, double value)
{
    auto filter = new ColorValue();
    filter->setHsv(hue, saturation, value);
    return filter;
}

ColorValue* offsetsExcept(int offset, int excluded)
{
    ColorValue* filter = offsets(offset, offset, offset);
    filter->setMode(ColorValueRgbExcluding);
    filter->setExcludedColor(excluded);
    return filter;
}

const std::vector<ColorCase>& colorCases()
{
    static const std::vector<ColorCase> cases = {
        {"offsets clamp to 255 both ways", [] { return offsets(300, -300, 0); },
         {{argb(0x80, 10, 200, 30), argb(0x80, 255, 0, 30)}, {rgb(0, 255, 128), rgb(255, 0, 128)}}},
        {"offsets add and clamp", [] { return offsets(127, 127, 127); },
         {{rgb(0, 100, 200), rgb(127, 227, 255)}}},
        {"offsets except the excluded colour", [] { return offsetsExcept(10, 30 << 16 | 200 << 8 | 10); },
         {{rgb(10, 200, 30), rgb(10, 200, 30)}, {rgb(10, 200, 31), rgb(20, 210, 41)}}},
        {"hue +120 turns red green", [] { return hsvShift(120, 0, 0); },
         {{rgb(255, 0, 0), rgb(0, 255, 0)}, {argb(0x40, 0, 0, 255), argb(0x40, 255, 0, 0)}}},
        {"hue -120 turns red blue", [] { return hsvShift(-120, 0, 0); }, {{rgb(255, 0, 0), rgb(0, 0, 255)}}},
        {"hue +30 truncates", [] { return hsvShift(30, 0, 0); }, {{rgb(255, 0, 0), rgb(255, 127, 0)}}},
        {"hue clamps to 360, a full turn", [] { return hsvShift(500, 0, 0); }, {{rgb(255, 0, 0), rgb(255, 0, 0)}}},
        {"saturation -1 greys", [] { return hsvShift(0, -1, 0); },
         {{rgb(255, 0, 0), grey(255)}, {grey(128), grey(128)}}},
        {"value -0.5 darkens", [] { return hsvShift(0, 0, -0.5); }, {{rgb(255, 0, 0), rgb(127, 0, 0)}}},
        {"value +2 clamps to white", [] { return hsvShift(0, 0, 2); }, {{grey(0), grey(255)}}},
        {"grey scale by luminance", [] { return new GrayScale(false); },
         {{rgb(100, 50, 200), grey(81)}, {grey(255), grey(255)}, {argb(0x10, 255, 0, 0), argb(0x10, 76, 76, 76)}}},
        {"grey scale by plain average", [] { return new GrayScale(true); },
         {{rgb(100, 50, 200), grey(116)}, {rgb(1, 1, 2), grey(1)}}},
        {"sepia", [] { return new Sepia(); },
         {{grey(255), rgb(255, 255, 235)},
          {grey(0), rgb(40, 0, 0)},
          {rgb(100, 50, 200), rgb(121, 81, 61)},
          {grey(216), rgb(255, 216, 196)},
          {grey(10), rgb(50, 10, 0)}}},
        {"warmer", [] { return new Temperature(40); },
         {{grey(100), rgb(140, 120, 60)}, {rgb(250, 250, 10), rgb(255, 255, 0)}}},
        {"cooler halves toward zero", [] { return new Temperature(-5); }, {{grey(100), rgb(95, 98, 105)}}},
        {"strength clamps to 255", [] { return new Temperature(1000); }, {{grey(100), rgb(255, 227, 0)}}},
        {"invert", [] { return new InvertColor(); }, {{argb(0x80, 10, 200, 30), argb(0x80, 245, 55, 225)}}},
        {"brighten", [] { return new Light(LightBrighten, 1); },
         {{grey(128), grey(180)}, {grey(0), grey(0)}, {grey(255), grey(255)}}},
        {"brighten twice", [] { return new Light(LightBrighten, 2); }, {{grey(128), grey(228)}}},
        {"darken", [] { return new Light(LightDarken, 1); },
         {{grey(128), grey(75)}, {grey(255), grey(254)}, {grey(254), grey(253)}, {grey(1), grey(0)}}},
        {"contrast", [] { return new Light(LightContrast, 1); },
         {{grey(0), grey(0)}, {grey(128), grey(128)}, {grey(255), grey(255)}, {rgb(64, 128, 255), rgb(37, 128, 255)}}},
        {"a repeat count of 0 counts as 1", [] { return new Light(LightContrast, 0); },
         {{grey(64), grey(37)}}},
        {"contrast twice", [] { return new Light(LightContrast, 2); }, {{grey(64), grey(13)}}},
        {"alpha", [] { return new Alpha(0x40); }, {{rgb(1, 2, 3), argb(0x40, 1, 2, 3)}}},
        {"swap red and blue", [] { return new ChangeRgb(2, 1, 0); }, {{rgb(10, 20, 30), rgb(30, 20, 10)}}},
        {"rotate red to green to blue", [] { return new ChangeRgb(1, 2, 0); }, {{rgb(10, 20, 30), rgb(30, 10, 20)}}},
        {"a channel sent to itself writes nothing", [] { return new ChangeRgb(1, 1, 2); },
         {{rgb(10, 20, 30), rgb(10, 10, 30)}}},
        {"a destination out of range stays put", [] { return new ChangeRgb(5, -1, 2); },
         {{rgb(10, 20, 30), rgb(10, 20, 30)}}},
        {"posterize to 2 levels", [] { return new Posterize(2); },
         {{rgb(0, 127, 128), rgb(0, 0, 255)}, {argb(0x20, 255, 64, 200), argb(0x20, 255, 0, 255)}}},
        {"posterize to 3 levels", [] { return new Posterize(3); },
         {{rgb(85, 86, 170), rgb(0, 127, 127)}, {grey(171), grey(255)}}},
        {"300 levels keep everything", [] { return new Posterize(300); }, {{rgb(1, 128, 254), rgb(1, 128, 254)}}},
        {"1 level clears", [] { return new Posterize(0); }, {{rgb(255, 128, 1), grey(0)}}},
        {"levels per channel", [] { return new Posterize(256, 1, 1); }, {{rgb(10, 20, 30), rgb(10, 0, 0)}}},
        {"levels changed after construction",
         [] {
             auto filter = new Posterize(2);
             filter->setLevels(256, 2, 1);
             return filter;
         },
         {{rgb(10, 200, 30), rgb(10, 255, 0)}}},
    };
    return cases;
}

std::vector<UINT32> inputsOf(const ColorCase& test)
{
    std::vector<UINT32> inputs;
    for (const auto& pixel : test.pixels)
        inputs.push_back(pixel.first);
    return inputs;
}

// One row of pixels, then the same row again.
Gdiplus::Bitmap* twoRowsOf(const std::vector<UINT32>& row)
{
    return makeBitmap32(static_cast<int>(row.size()), 2, [&](int x, int) { return row[x]; });
}

UINT32 applyToOnePixel(IColorFilter& filter, UINT32 pixel)
{
    BYTE bytes[4];
    CopyMemory(bytes, &pixel, 4);
    filter.apply(&bytes[3], &bytes[2], &bytes[1], &bytes[0]);
    CopyMemory(&pixel, bytes, 4);
    return pixel;
}

class ColorFilters : public GdiplusTest {};

} // namespace

TEST_F(ColorFilters, EachFilterGivesTheExpectedPixels)
{
    for (const ColorCase& test : colorCases()) {
        SCOPED_TRACE(test.name);
        std::vector<UINT32> inputs = inputsOf(test);
        BitmapPtr source(twoRowsOf(inputs));
        ImageConvert::ColorFilter converter(test.make(), true);
        BitmapPtr result(converter.convert(source.get(), nullptr));
        ASSERT_TRUE(result);
        for (size_t x = 0; x < test.pixels.size(); ++x) {
            EXPECT_EQ(pixelAt(result.get(), static_cast<int>(x), 0), test.pixels[x].second) << "pixel " << x;
            EXPECT_EQ(pixelAt(result.get(), static_cast<int>(x), 1), test.pixels[x].second) << "pixel " << x;
            EXPECT_EQ(pixelAt(source.get(), static_cast<int>(x), 1), inputs[x]) << "input changed";
        }
        // The single-pixel entry, which the Dib colour jobs use, agrees with the row loop.
        std::unique_ptr<IColorFilter> filter(test.make());
        for (const auto& [input, expected] : test.pixels)
            EXPECT_EQ(applyToOnePixel(*filter, input), expected);
    }
}

TEST_F(ColorFilters, HsvConversionsBothWays)
{
    struct HsvCase {
        BYTE red, green, blue;
        double hue, saturation, value;
    };
    const HsvCase cases[] = {
        {0, 0, 0, 0, 0, 0},           {128, 128, 128, 0, 0, 128 / 255.0}, {255, 0, 0, 0, 1, 1},
        {0, 255, 0, 120, 1, 1},       {0, 0, 255, 240, 1, 1},             {255, 0, 255, 300, 1, 1},
        {255, 255, 0, 60, 1, 1},      {0, 102, 204, 210, 1, 0.8},
    };
    for (const HsvCase& test : cases) {
        SCOPED_TRACE(testing::Message() << int(test.red) << "," << int(test.green) << "," << int(test.blue));
        double hue, saturation, value;
        rgbToHsv(test.red, test.green, test.blue, hue, saturation, value);
        EXPECT_DOUBLE_EQ(hue, test.hue);
        EXPECT_DOUBLE_EQ(saturation, test.saturation);
        EXPECT_DOUBLE_EQ(value, test.value);
        BYTE red, green, blue;
        hsvToRgb(test.hue, test.saturation, test.value, red, green, blue);
        EXPECT_EQ(red, test.red);
        EXPECT_EQ(green, test.green);
        EXPECT_EQ(blue, test.blue);
    }

    // Hues are brought into one turn, saturation and value into 0..1.
    BYTE red, green, blue;
    hsvToRgb(-60, 1, 1, red, green, blue);
    EXPECT_EQ(rgb(red, green, blue), rgb(255, 0, 255));
    hsvToRgb(720 + 120, 2, 1, red, green, blue);
    EXPECT_EQ(rgb(red, green, blue), rgb(0, 255, 0));
    hsvToRgb(-1000, 0.5, -1, red, green, blue);
    EXPECT_EQ(rgb(red, green, blue), grey(0));
}

TEST_F(ColorFilters, PosterizeWithoutTablesIsRefused)
{
    MemoryAllocator::failAfter(1);
    Posterize broken(4);
    MemoryAllocator::failAfter(-1);
    SetLastError(0);
    EXPECT_FALSE(broken.isReady());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    broken.setLevels(2, 2, 2);

    BitmapPtr source(twoRowsOf({rgb(10, 200, 30)}));
    EXPECT_EQ(ImageConvert::ColorFilter(&broken, false).convert(source.get(), nullptr), nullptr);
    EXPECT_EQ(applyToOnePixel(broken, rgb(10, 200, 30)), rgb(10, 200, 30));
    EXPECT_TRUE(Posterize(4).isReady());
}
