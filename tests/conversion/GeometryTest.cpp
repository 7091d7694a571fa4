#include <gtest/gtest.h>
#include <climits>
#include <memory>
#include <string>
#include <vector>
#include "conversion/Mirror.h"
#include "conversion/Transform.h"
#include "conversion/Trimming.h"
#include "conversion/Turn.h"
#include "foundation/MemoryAllocator.h"
#include "support/CancelAfter.h"
#include "support/ImagingTestSupport.h"

namespace {

struct BufferFreer {
    void operator()(UINT32* block) const { MemoryAllocator::free(block); }
};
using Buffer = std::unique_ptr<UINT32, BufferFreer>;

// A transform's result with its size; a failure's buffer pointer is only looked at, never freed.
struct Output {
    bool ok;
    Buffer pixels;
    int width;
    int height;
    const UINT32* returned;
};

Output run(ITransform& transform, const std::vector<UINT32>& pixels, int width, int height,
           ICanceller* canceller = nullptr)
{
    UINT32* out = reinterpret_cast<UINT32*>(1);
    int outWidth = -1;
    int outHeight = -1;
    bool ok = transform.apply(pixels.empty() ? nullptr : pixels.data(), width, height, out, outWidth, outHeight,
                              canceller);
    return {ok, Buffer(ok ? out : nullptr), outWidth, outHeight, out};
}

void expectRefused(Output result, DWORD error)
{
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(GetLastError(), error);
    EXPECT_EQ(result.returned, nullptr);
    EXPECT_EQ(result.width, 0);
    EXPECT_EQ(result.height, 0);
}

// Pixel (x, y) names its own place: opaque, x in green, y in blue.
UINT32 placeOf(int x, int y)
{
    return 0xFF000000u | x << 8 | y;
}

std::vector<UINT32> placed(int width, int height)
{
    std::vector<UINT32> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(placeOf(x, y));
    return pixels;
}

// A picture written as rows of letters, one letter per pixel, rows separated by '/'.
std::vector<UINT32> letters(const std::string& rows)
{
    std::vector<UINT32> pixels;
    for (char letter : rows)
        if (letter != '/')
            pixels.push_back(static_cast<UINT32>(letter));
    return pixels;
}

std::string lettersOf(const Output& result)
{
    std::string rows;
    for (int y = 0; y < result.height; ++y) {
        if (y > 0)
            rows += '/';
        for (int x = 0; x < result.width; ++x)
            rows += static_cast<char>(result.pixels.get()[y * result.width + x]);
    }
    return rows;
}

class TransformAdapter : public GdiplusTest {};

} // namespace

TEST(Trimming, KeepsTheInnerRectangle)
{
    struct Case {
        int left, top, right, bottom, width, height;
    };
    for (Case c : {Case{1, 2, 3, 4, 6, 4}, Case{0, 0, 0, 0, 10, 10}, Case{9, 0, 0, 9, 1, 1}, Case{0, 9, 9, 0, 1, 1}}) {
        Trimming trimming(c.left, c.top, c.right, c.bottom);
        Output result = run(trimming, placed(10, 10), 10, 10);
        ASSERT_TRUE(result.ok) << c.left << c.top << c.right << c.bottom;
        ASSERT_EQ(result.width, c.width);
        ASSERT_EQ(result.height, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(result.pixels.get()[y * c.width + x], placeOf(x + c.left, y + c.top)) << x << "," << y;
    }
}

TEST(Trimming, RefusesMarginsOutsideThePicture)
{
    struct Case {
        int left, top, right, bottom;
    };
    for (Case c : {Case{-1, 0, 0, 0}, Case{0, 0, 0, -3}, Case{5, 0, 5, 0}, Case{0, 10, 0, 0}, Case{0, 4, 0, 7},
                   Case{INT_MAX, 0, INT_MAX, 0}, Case{0, INT_MIN, 0, 0}}) {
        Trimming trimming(c.left, c.top, c.right, c.bottom);
        SetLastError(0);
        expectRefused(run(trimming, placed(10, 10), 10, 10), ERROR_INVALID_PARAMETER);
    }
    Trimming nothing(0, 0, 0, 0);
    expectRefused(run(nothing, {}, 10, 10), ERROR_INVALID_PARAMETER);
}

TEST(Trimming, StopsBetweenRowsAndOnAFailedAllocation)
{
    Trimming trimming(1, 1, 1, 1);
    CancelAfter canceller(2);
    SetLastError(5);
    expectRefused(run(trimming, placed(6, 6), 6, 6, &canceller), 0);

    MemoryAllocator::failAfter(0);
    Output result = run(trimming, placed(6, 6), 6, 6);
    MemoryAllocator::failAfter(-1);
    expectRefused(std::move(result), ERROR_NOT_ENOUGH_MEMORY);
}

TEST(TurnAndMirror, MovePixelsToTheirNewPlaces)
{
    // The 3 x 2 picture  abc
    //                    def
    struct Case {
        std::unique_ptr<ITransform> transform;
        const char* expected;
    };
    Case cases[] = {
        {std::make_unique<Turn>(Turn::Clockwise), "da/eb/fc"},
        {std::make_unique<Turn>(Turn::Anticlockwise), "cf/be/ad"},
        {std::make_unique<Turn>(Turn::HalfTurn), "fed/cba"},
        {std::make_unique<Mirror>(false), "cba/fed"},
        {std::make_unique<Mirror>(true), "def/abc"},
    };
    for (Case& c : cases) {
        Output result = run(*c.transform, letters("abc/def"), 3, 2);
        ASSERT_TRUE(result.ok) << c.expected;
        EXPECT_EQ(lettersOf(result), c.expected);
    }
}

TEST(TurnAndMirror, RefuseWhatTheyCannotTurn)
{
    Turn unknown(3);
    expectRefused(run(unknown, letters("ab"), 2, 1), ERROR_INVALID_PARAMETER);
    Turn turn(Turn::Clockwise);
    expectRefused(run(turn, {}, 2, 1), ERROR_INVALID_PARAMETER);
    Mirror mirror(false);
    expectRefused(run(mirror, {}, 2, 1), ERROR_INVALID_PARAMETER);

    MemoryAllocator::failAfter(0);
    Output result = run(mirror, letters("ab"), 2, 1);
    MemoryAllocator::failAfter(-1);
    expectRefused(std::move(result), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_F(TransformAdapter, TurnsBackToTheInputAndLeavesTheInputAlone)
{
    BitmapPtr source(makeBitmap32(5, 3, [](int x, int y) { return placeOf(x, y) | (x * 40) << 16; }));
    BitmapPtr original(copyBitmap32(source.get()));
    struct Case {
        ITransform* first;
        ITransform* second;
    };
    Turn clockwise(Turn::Clockwise), anticlockwise(Turn::Anticlockwise), half(Turn::HalfTurn);
    Mirror sideways(false), upside(true);
    for (Case c : {Case{&clockwise, &anticlockwise}, Case{&anticlockwise, &clockwise}, Case{&half, &half},
                   Case{&sideways, &sideways}, Case{&upside, &upside}}) {
        BitmapPtr once(ImageConvert::Transform(c.first, false).convert(source.get(), nullptr));
        ASSERT_TRUE(once);
        BitmapPtr twice(ImageConvert::Transform(c.second, false).convert(once.get(), nullptr));
        ASSERT_TRUE(twice);
        ASSERT_EQ(twice->GetWidth(), 5u);
        ASSERT_EQ(twice->GetHeight(), 3u);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                ASSERT_EQ(pixelAt(twice.get(), x, y), pixelAt(original.get(), x, y));
                ASSERT_EQ(pixelAt(source.get(), x, y), pixelAt(original.get(), x, y));
            }
    }

    Trimming tooMuch(3, 0, 2, 0);
    EXPECT_EQ(ImageConvert::Transform(&tooMuch, false).convert(source.get(), nullptr), nullptr);
}

namespace {

constexpr UINT32 WhitePixel = 0xFFFFFFFF;

// A width × height picture of the border colour with a black block from (left, top) up to (right, bottom)
// exclusive.
std::vector<UINT32> framed(int width, int height, UINT32 border, int left, int top, int right, int bottom)
{
    std::vector<UINT32> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(x >= left && x < right && y >= top && y < bottom ? 0xFF000000u : border);
    return pixels;
}

} // namespace

TEST(autoTrimScan, CountsTheUniformBorderOnEachSide)
{
    struct Case {
        const char* name;
        std::vector<UINT32> pixels;
        COLORREF reference;
        int tolerance;
        int left, top, right, bottom;
    };
    Case cases[] = {
        {"white border", framed(14, 12, WhitePixel, 5, 5, 9, 7), RGB(255, 255, 255), 0, 5, 5, 5, 5},
        {"red off by 3, tolerance 2", framed(14, 12, 0xFFFCFFFF, 5, 5, 9, 7), RGB(255, 255, 255), 2, 0, 0, 0, 0},
        {"red off by 3, tolerance 3", framed(14, 12, 0xFFFCFFFF, 5, 5, 9, 7), RGB(255, 255, 255), 3, 5, 5, 5, 5},
        {"pure red", framed(14, 12, 0xFFFF0000, 5, 5, 9, 7), RGB(255, 0, 0), 0, 5, 5, 5, 5},
        {"pure blue is not red", framed(14, 12, 0xFF0000FF, 5, 5, 9, 7), RGB(255, 0, 0), 254, 0, 0, 0, 0},
        {"alpha is not looked at", framed(14, 12, 0x00FFFFFF, 5, 5, 9, 7), RGB(255, 255, 255), 0, 5, 5, 5, 5},
        {"sides apart", framed(14, 12, WhitePixel, 2, 1, 11, 8), RGB(255, 255, 255), 0, 2, 1, 3, 4},
        {"single pixel", framed(14, 12, WhitePixel, 13, 0, 14, 1), RGB(255, 255, 255), 0, 13, 0, 0, 11},
        {"uniform", framed(14, 12, WhitePixel, 0, 0, 0, 0), RGB(255, 255, 255), 0, 14, 12, 14, 12},
        {"tolerance clamped up", framed(14, 12, WhitePixel, 5, 5, 9, 7), RGB(255, 255, 255), 1000, 14, 12, 14, 12},
        {"tolerance clamped down", framed(14, 12, 0xFFFEFEFE, 5, 5, 9, 7), RGB(255, 255, 255), -9, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int left = -1, top = -1, right = -1, bottom = -1;
        ASSERT_TRUE(autoTrimScan(c.pixels.data(), 14, 12, c.reference, c.tolerance, left, top, right, bottom))
            << c.name;
        EXPECT_EQ(left, c.left) << c.name;
        EXPECT_EQ(top, c.top) << c.name;
        EXPECT_EQ(right, c.right) << c.name;
        EXPECT_EQ(bottom, c.bottom) << c.name;
    }

    int left = -1, top = -1, right = -1, bottom = -1;
    SetLastError(0);
    EXPECT_FALSE(autoTrimScan(nullptr, 14, 12, 0, 0, left, top, right, bottom));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(left | top | right | bottom, 0);
}
