#include <gtest/gtest.h>
#include "conversion/ColorFilter.h"
#include "conversion/ConvolutionFilter.h"
#include "conversion/ImageConverter.h"
#include "conversion/PixelFilter.h"
#include "conversion/Transform.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/BitmapCopy.h"
#include "imaging/ICanceller.h"
#include "support/CancelAfter.h"
#include "support/ImagingTestSupport.h"

namespace {

using ImageConvert::ImageConverter;


class Invert : public IColorFilter {
public:
    void apply(BYTE*, BYTE* red, BYTE* green, BYTE* blue) override
    {
        *red = 255 - *red;
        *green = 255 - *green;
        *blue = 255 - *blue;
    }
};

class NotReady : public IColorFilter {
public:
    bool isReady() override { return false; }
    void apply(BYTE*, BYTE*, BYTE*, BYTE*) override {}
};

// Drops the leftmost column; fails when asked to.
class DropFirstColumn : public ITransform {
public:
    explicit DropFirstColumn(bool fails = false) : fails(fails) {}
    bool apply(const UINT32* pixels, int width, int height, UINT32*& out, int& outWidth, int& outHeight,
               ICanceller*) override
    {
        out = nullptr;
        outWidth = outHeight = 0;
        if (fails)
            return false;
        out = static_cast<UINT32*>(MemoryAllocator::alloc((width - 1) * height * 4));
        for (int y = 0; y < height; ++y)
            for (int x = 1; x < width; ++x)
                out[y * (width - 1) + x - 1] = pixels[y * width + x];
        outWidth = width - 1;
        outHeight = height;
        return true;
    }

private:
    bool fails;
};

// Sets the alpha of the first pixel in the buffer to 7.
class MarkFirstPixel : public IPixelFilter {
public:
    bool apply(BYTE* pixels, int, int, ICanceller*) override
    {
        pixels[3] = 7;
        return true;
    }
};

class Kernel : public IConvolutionFilter {
public:
    explicit Kernel(std::initializer_list<double> values) { std::copy(values.begin(), values.end(), weights); }
    void kernel(double out[9]) override { std::copy(weights, weights + 9, out); }

private:
    double weights[9] = {};
};

// Bitmaps that count how many of them are alive.
class CountedBitmap : public Gdiplus::Bitmap {
public:
    CountedBitmap(int width, int height) : Gdiplus::Bitmap(width, height, PixelFormat32bppARGB) { ++alive; }
    ~CountedBitmap() override { --alive; }
    static inline int alive = 0;
};

// Returns a counted bitmap of the input's size, or nothing.
class CountedStep : public ImageConverter {
public:
    explicit CountedStep(bool fails) : fails(fails) {}
    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller*) override
    {
        received = bitmap;
        if (fails)
            return nullptr;
        return new CountedBitmap(bitmap->GetWidth() + 1, bitmap->GetHeight());
    }
    Gdiplus::Bitmap* received = nullptr;

private:
    bool fails;
};

Gdiplus::Bitmap* gradient(int width, int height)
{
    return makeBitmap32(width, height, [](int x, int y) { return 0xFF000000u | (x * 20) << 16 | (y * 30) << 8 | 99; });
}

void expectSamePixels(Gdiplus::Bitmap* expected, Gdiplus::Bitmap* actual)
{
    ASSERT_EQ(actual->GetWidth(), expected->GetWidth());
    ASSERT_EQ(actual->GetHeight(), expected->GetHeight());
    for (UINT y = 0; y < expected->GetHeight(); ++y)
        for (UINT x = 0; x < expected->GetWidth(); ++x)
            ASSERT_EQ(pixelAt(actual, x, y), pixelAt(expected, x, y)) << x << "," << y;
}

class Converters : public GdiplusTest {};

} // namespace

TEST_F(Converters, ColourFilterWorksOnACopyOfAnyBitmap)
{
    BitmapPtr source(new Gdiplus::Bitmap(3, 2, PixelFormat24bppRGB));
    source->SetPixel(2, 1, Gdiplus::Color(10, 20, 30));
    BitmapPtr original(copyBitmap32(source.get()));
    Invert invert;
    ImageConvert::ColorFilter filter(&invert, false);
    BitmapPtr result(filter.convert(source.get(), nullptr));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(pixelAt(result.get(), 2, 1), 0xFFF5EBE1u);
    EXPECT_EQ(pixelAt(result.get(), 0, 0), White);
    expectSamePixels(original.get(), source.get());

    // In place only a 32-bit ARGB bitmap is taken.
    EXPECT_FALSE(filter.applyInPlace(source.get(), nullptr));
    NotReady notReady;
    EXPECT_EQ(ImageConvert::ColorFilter(&notReady, false).convert(source.get(), nullptr), nullptr);
}

TEST_F(Converters, CancelledColourFilterKeepsTheRowsDone)
{
    BitmapPtr picture(makeBitmap32(2, 4, [](int, int) { return Black; }));
    Invert invert;
    ImageConvert::ColorFilter filter(&invert, false);
    CancelAfter canceller(2);
    SetLastError(5);
    EXPECT_FALSE(filter.applyInPlace(picture.get(), &canceller));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(pixelAt(picture.get(), 1, 1), White);
    EXPECT_EQ(pixelAt(picture.get(), 0, 2), Black);

    CancelAfter again(1);
    EXPECT_EQ(filter.convert(picture.get(), &again), nullptr);
}

TEST_F(Converters, TransformBuildsABitmapOfTheNewSize)
{
    BitmapPtr source(gradient(4, 3));
    ImageConvert::Transform transform(new DropFirstColumn(), true);
    BitmapPtr result(transform.convert(source.get(), nullptr));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetWidth(), 3u);
    EXPECT_EQ(pixelAt(result.get(), 0, 0), pixelAt(source.get(), 1, 0));
    EXPECT_EQ(pixelAt(result.get(), 2, 2), pixelAt(source.get(), 3, 2));

    ImageConvert::Transform failing(new DropFirstColumn(true), true);
    EXPECT_EQ(failing.convert(source.get(), nullptr), nullptr);
}

TEST_F(Converters, PixelFilterGetsTheWholeBuffer)
{
    BitmapPtr source(gradient(2, 2));
    MarkFirstPixel mark;
    ImageConvert::PixelFilter filter(&mark, false);
    BitmapPtr result(filter.convert(source.get(), nullptr));
    ASSERT_TRUE(result);
    EXPECT_EQ(pixelAt(result.get(), 0, 0) >> 24, 7u);
    EXPECT_EQ(pixelAt(source.get(), 0, 0) >> 24, 0xFFu);
}

TEST_F(Converters, ConvolutionReadsTheCentreAtTheOuterRing)
{
    // Exact binary weights summing to 1.
    Kernel blur({0.0625, 0.0625, 0.0625, 0.0625, 0.5, 0.0625, 0.0625, 0.0625, 0.0625});
    for (int size : {1, 2}) {
        BitmapPtr small(gradient(size, size));
        BitmapPtr result(ImageConvert::ConvolutionFilter(&blur, false, 3).convert(small.get(), nullptr));
        ASSERT_TRUE(result);
        expectSamePixels(small.get(), result.get());
    }

    // Take the left neighbour: only a neighbour inside the outer ring is read.
    Kernel left({0, 0, 0, 1, 0, 0, 0, 0, 0});
    BitmapPtr row(makeBitmap32(4, 3, [](int x, int y) { return y == 1 && x == 1 ? Red : Blue; }));
    BitmapPtr shifted(ImageConvert::ConvolutionFilter(&left, false, 1).convert(row.get(), nullptr));
    ASSERT_TRUE(shifted);
    EXPECT_EQ(pixelAt(shifted.get(), 1, 1), Red);  // column 0 is on the ring: the centre is read
    EXPECT_EQ(pixelAt(shifted.get(), 2, 1), Red);  // column 1 lies inside
    EXPECT_EQ(pixelAt(shifted.get(), 3, 1), Blue); // column 2 lies inside and is blue
}

TEST_F(Converters, ConvolutionClampsRepeatsAndKeepsAlpha)
{
    BitmapPtr source(makeBitmap32(3, 3, [](int, int) { return 0x80604020u; }));
    Kernel twice({0, 0, 0, 0, 2, 0, 0, 0, 0});
    BitmapPtr result(ImageConvert::ConvolutionFilter(&twice, false, 2).convert(source.get(), nullptr));
    ASSERT_TRUE(result);
    EXPECT_EQ(pixelAt(result.get(), 1, 1), 0x80FFFF80u); // green 0x40 x 4 clamps to 255
    Kernel negative({0, 0, 0, 0, -1, 0, 0, 0, 0});
    result.reset(ImageConvert::ConvolutionFilter(&negative, false, 1).convert(source.get(), nullptr));
    EXPECT_EQ(pixelAt(result.get(), 0, 0), 0x80000000u);

    ImageConvert::ConvolutionFilter none(&twice, false, 0);
    result.reset(none.convert(source.get(), nullptr));
    ASSERT_TRUE(result);
    expectSamePixels(source.get(), result.get());

    CancelAfter canceller(0);
    EXPECT_EQ(ImageConvert::ConvolutionFilter(&twice, false, 1).convert(source.get(), &canceller), nullptr);
}

TEST_F(Converters, ChainRunsInOrderAndLeavesNothingBehindOnFailure)
{
    BitmapPtr source(gradient(2, 2));
    auto first = new CountedStep(false);
    auto second = new CountedStep(false);
    {
        auto steps = new ObjectArray<ImageConverter>();
        steps->add(first);
        steps->add(second);
        ImageConvert::ImageConverters chain(steps, true);
        BitmapPtr result(chain.convert(source.get(), nullptr));
        ASSERT_TRUE(result);
        EXPECT_EQ(first->received, source.get());
        EXPECT_NE(second->received, source.get());
        EXPECT_EQ(result->GetWidth(), 4u);
        EXPECT_EQ(CountedBitmap::alive, 1);
    }
    EXPECT_EQ(CountedBitmap::alive, 0);

    // Converters shared with other chains: the array only borrows them.
    auto working = std::make_unique<CountedStep>(false);
    auto failing = std::make_unique<CountedStep>(true);
    ObjectArray<ImageConverter> borrowed(false);
    borrowed.add(working.get());
    borrowed.add(failing.get());
    ImageConvert::ImageConverters broken(&borrowed, false);
    EXPECT_EQ(broken.convert(source.get(), nullptr), nullptr);
    EXPECT_NE(failing->received, nullptr);
    EXPECT_EQ(CountedBitmap::alive, 0);
    EXPECT_EQ(source->GetWidth(), 2u);

    ObjectArray<ImageConverter> empty;
    EXPECT_EQ(ImageConvert::ImageConverters(&empty, false).convert(source.get(), nullptr), nullptr);
    EXPECT_EQ(ImageConvert::ImageConverters(nullptr, false).convert(source.get(), nullptr), nullptr);
}

TEST_F(Converters, MaskFollowsTheTopLeftColour)
{
    BitmapPtr source(makeBitmap32(3, 1, [](int x, int) { return x == 1 ? Blue : Red; }));
    BitmapPtr mask(ImageConvert::Mask(false).convert(source.get(), nullptr));
    ASSERT_TRUE(mask);
    EXPECT_EQ(pixelAt(mask.get(), 0, 0), White);
    EXPECT_EQ(pixelAt(mask.get(), 1, 0), Black);
    mask.reset(ImageConvert::Mask(true).convert(source.get(), nullptr));
    EXPECT_EQ(pixelAt(mask.get(), 2, 0), Black);
    EXPECT_EQ(pixelAt(mask.get(), 1, 0), White);
}
