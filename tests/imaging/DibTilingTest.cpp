#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>
#include "imaging/dibTiling.h"
#include "support/ImagingTestSupport.h"

namespace {

constexpr COLORREF Background = RGB(10, 20, 30);

// A 24-bit Dib whose pixel (x, y) has the colour of the function.
template <typename ColorOf>
Dib* paintedDib(int width, int height, ColorOf colorOf)
{
    auto dib = new Dib;
    dib->create(width, height, 24, RGB(0, 0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF color = colorOf(x, y);
            BYTE* pixel = dibPixel(*dib, x, y);
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
        }
    return dib;
}

COLORREF colorAt(const Dib& dib, int x, int y)
{
    const BYTE* pixel = dibPixel(dib, x, y);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

TEST(DibTiling, EdgeTilesKeepThePictureAtTheirTopLeftOnTheBackground)
{
    std::unique_ptr<Dib> picture(paintedDib(1000, 700, [](int, int) { return RGB(200, 100, 50); }));
    ObjectArray<Dib> tiles;
    ASSERT_EQ(splitDibIntoTiles(*picture, tiles, 300, 300, 0, Background), 12);
    for (int i = 0; i < tiles.count(); ++i) {
        EXPECT_EQ(tiles.at(i)->width(), 300) << i;
        EXPECT_EQ(tiles.at(i)->height(), 300) << i;
    }
    const Dib& right = *tiles.at(3);
    EXPECT_EQ(colorAt(right, 99, 299), RGB(200, 100, 50));
    EXPECT_EQ(colorAt(right, 100, 0), Background);
    const Dib& corner = *tiles.at(11);
    EXPECT_EQ(colorAt(corner, 99, 99), RGB(200, 100, 50));
    EXPECT_EQ(colorAt(corner, 99, 100), Background);
    EXPECT_EQ(colorAt(corner, 100, 99), Background);

    // An indexed picture's padding is the background colour itself, not the palette's nearest colour.
    Dib indexed;
    ASSERT_TRUE(indexed.create(10, 10, 8, RGB(0, 0, 0)));
    ASSERT_EQ(splitDibIntoTiles(indexed, tiles, 8, 8, 3, Background), 1);
    EXPECT_EQ(tiles.at(0)->bitCount(), 24);
    EXPECT_EQ(colorAt(*tiles.at(0), 7, 7), Background);
}

TEST(DibTiling, SixHundredTilesComeInBatchesNumberedWithoutGaps)
{
    // 40 x 15 tiles of 2 x 2 pixels, each in a colour that tells its column and row.
    auto tileColor = [](int column, int row) { return RGB(column * 5, row * 10, 77); };
    std::unique_ptr<Dib> picture(paintedDib(80, 30, [&](int x, int y) { return tileColor(x / 2, y / 2); }));
    ObjectArray<Dib> tiles;
    int next = 0;
    std::vector<int> batches;
    for (int count; (count = splitDibIntoTiles(*picture, tiles, 2, 2, next, Background)) > 0; next += count) {
        batches.push_back(count);
        for (int i = 0; i < count; ++i) {
            int number = next + i;
            ASSERT_EQ(colorAt(*tiles.at(i), 1, 1), tileColor(number % 40, number / 40)) << number;
        }
    }
    EXPECT_EQ(batches, (std::vector<int>{256, 256, 88}));
    EXPECT_EQ(next, 600);
    EXPECT_EQ(tiles.count(), 0);
}

TEST(DibTiling, LargeTilesComeInBatchesThatTogetherStayWithinTheSizeLimit)
{
    // A one-pixel column in tiles of 2^26 pixels, nearly all background: two make as many pixels as one
    // picture may have.
    Dib column;
    ASSERT_TRUE(column.create(1, 40000, 16, RGB(255, 0, 0)));
    ObjectArray<Dib> tiles;
    std::vector<int> batches;
    for (int count, next = 0; (count = splitDibIntoTiles(column, tiles, 8192, 8192, next, Background)) > 0;
         next += count) {
        batches.push_back(count);
        EXPECT_EQ(tiles.at(count - 1)->height(), 8192);
    }
    EXPECT_EQ(batches, (std::vector<int>{2, 2, 1}));

    // A tile that alone is larger cannot be cut.
    EXPECT_EQ(splitDibIntoTiles(column, tiles, 20000, 20000, 0, Background), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(tiles.count(), 0);
}

TEST(DibTiling, BadSplitsFailWithInvalidArgument)
{
    std::unique_ptr<Dib> picture(paintedDib(10, 10, [](int, int) { return RGB(1, 1, 1); }));
    ObjectArray<Dib> tiles;
    for (auto [width, height, first] : {std::tuple{0, 4, 0}, {4, -1, 0}, {4, 4, -1}}) {
        ASSERT_EQ(splitDibIntoTiles(*picture, tiles, 4, 4, 0, Background), 9);
        EXPECT_EQ(splitDibIntoTiles(*picture, tiles, width, height, first, Background), -1);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(tiles.count(), 0);
    }
}

TEST(DibTiling, JoinedPicturesLieEdgeToEdgeOnTheBackground)
{
    ObjectArray<Dib> pictures;
    pictures.add(paintedDib(100, 50, [](int, int) { return RGB(255, 0, 0); }));
    pictures.add(paintedDib(80, 70, [](int, int) { return RGB(0, 0, 255); }));
    Dib joined;
    ASSERT_TRUE(joinDibs(pictures, joined, true, Background));
    EXPECT_EQ(joined.width(), 100);
    EXPECT_EQ(joined.height(), 120);
    EXPECT_EQ(joined.bitCount(), 24);
    EXPECT_EQ(colorAt(joined, 99, 49), RGB(255, 0, 0));
    EXPECT_EQ(colorAt(joined, 79, 50), RGB(0, 0, 255));
    EXPECT_EQ(colorAt(joined, 80, 119), Background) << "the strip beside the narrower picture";

    ASSERT_TRUE(joinDibs(pictures, joined, false, Background));
    EXPECT_EQ(joined.width(), 180);
    EXPECT_EQ(colorAt(joined, 100, 69), RGB(0, 0, 255));
    EXPECT_EQ(colorAt(joined, 0, 50), Background);

    // Side by side with a tall one, a long strip makes a picture beyond the size limit.
    ObjectArray<Dib> strips;
    strips.add(paintedDib(100000, 1, [](int, int) { return RGB(255, 0, 0); }));
    strips.add(paintedDib(1, 2000, [](int, int) { return RGB(0, 0, 255); }));
    EXPECT_FALSE(joinDibs(strips, joined, false, Background));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_TRUE(joined.isEmpty());

    ObjectArray<Dib> none;
    EXPECT_FALSE(joinDibs(none, joined, true, Background));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(joined.isEmpty());
}

} // namespace
