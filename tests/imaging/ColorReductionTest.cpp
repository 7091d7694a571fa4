#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <vector>
#include "foundation/MemoryAllocator.h"
#include "imaging/ColorReduction.h"
#include "imaging/DibConverter.h"
#include "imaging/ErrorDiffusion.h"
#include "imaging/MedianCut.h"
#include "imaging/PaletteLookup.h"
#include "support/CancelAfter.h"
#include "support/ImagingTestSupport.h"

namespace {

UINT32 rgb(int red, int green, int blue)
{
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// A repeatable run of pseudo-random numbers (xorshift).
class Noise {
public:
    explicit Noise(UINT32 seed) : state(seed) {}
    UINT32 operator()()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }

private:
    UINT32 state;
};

UINT32 colorOf(const RGBQUAD& entry)
{
    return rgb(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

// A 32-bit Dib whose pixel (x, y), counted from the top, is pixelOf(x, y) as 0xAARRGGBB.
template <typename PixelOf>
void fill32(Dib& dib, int width, int height, PixelOf pixelOf)
{
    ASSERT_TRUE(dib.create(width, height, 32, RGB(0, 0, 0)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            *reinterpret_cast<UINT32*>(dibPixel(dib, x, y)) = pixelOf(x, y);
}

// The colour that an indexed Dib shows at (x, y).
UINT32 shownColor(const Dib& dib, int x, int y)
{
    return colorOf(dib.getColorTable()[dibIndex(dib, x, y)]);
}

int distinctColors(const RGBQUAD* palette, int count)
{
    std::set<UINT32> colors;
    for (int i = 0; i < count; ++i)
        colors.insert(colorOf(palette[i]));
    return static_cast<int>(colors.size());
}

// Varied colours: a 16 x 16 x 16 grid, each colour once.
UINT32 gridColor(int x, int y)
{
    int n = y * 64 + x;
    return rgb((n & 15) * 17, (n >> 4 & 15) * 17, (n >> 8 & 15) * 17);
}

class InvertFilter : public IColorFilter {
public:
    void apply(BYTE*, BYTE* red, BYTE* green, BYTE* blue) override
    {
        *red = static_cast<BYTE>(255 - *red);
        *green = static_cast<BYTE>(255 - *green);
        *blue = static_cast<BYTE>(255 - *blue);
    }
};

} // namespace

TEST(PaletteLookup, AgreesWithTheLinearSearchIncludingTies)
{
    UINT32 seed = 7;
    auto next = [&seed] { return seed = seed * 1664525 + 1013904223, static_cast<int>(seed >> 24); };
    for (int count : {1, 2, 3, 16, 256}) {
        std::vector<RGBQUAD> palette(count);
        for (int i = 0; i < count; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next()), 0};
        if (count > 2) {
            palette[count - 1] = palette[0];                       // a duplicate: the first must win
            palette[1] = RGBQUAD{palette[0].rgbBlue, palette[0].rgbGreen,
                                 static_cast<BYTE>(palette[0].rgbRed ^ 2), 0}; // an equidistant neighbour
        }
        PaletteLookup lookup;
        ASSERT_TRUE(lookup.setPalette(palette.data(), count));
        for (int i = 0; i < 100000; ++i) {
            int red = next(), green = next(), blue = next();
            ASSERT_EQ(lookup.indexOf(red, green, blue), nearestPaletteIndex(palette.data(), count, red, green, blue))
                << count << " colours, " << red << "," << green << "," << blue;
        }
    }
    // Without memory for more cells the answers stay the same.
    std::vector<RGBQUAD> many(256);
    for (RGBQUAD& entry : many)
        entry = RGBQUAD{static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next()), 0};
    PaletteLookup starved;
    ASSERT_TRUE(starved.setPalette(many.data(), 256));
    MemoryAllocator::failAfter(0);
    for (int i = 0; i < 20000; ++i) {
        int red = next(), green = next(), blue = next();
        ASSERT_EQ(starved.indexOf(red, green, blue), nearestPaletteIndex(many.data(), 256, red, green, blue));
    }
    MemoryAllocator::failAfter(-1);

    RGBQUAD twins[] = {{0, 0, 10, 0}, {0, 0, 20, 0}, {0, 0, 10, 0}};
    EXPECT_EQ(nearestPaletteIndex(twins, 3, 15, 0, 0), 0);
    EXPECT_EQ(nearestPaletteIndex(twins, 3, 16, 0, 0), 1);
}

TEST(MedianCut, FewColoursAreKeptAndSortedAfterTheBlackRest)
{
    const UINT32 colors[10] = {rgb(250, 10, 10), rgb(10, 250, 10), rgb(10, 10, 250), rgb(200, 200, 200),
                               rgb(1, 2, 3),     rgb(90, 90, 0),   rgb(0, 90, 91),   rgb(128, 64, 32),
                               rgb(255, 255, 255), rgb(3, 2, 1)};
    std::vector<UINT32> pixels(40 * 25);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = colors[(i * 7) % 10];
    RGBQUAD palette[256];
    ASSERT_TRUE(medianCutPalette(reinterpret_cast<BYTE*>(pixels.data()), 40, 25, palette, 256, nullptr, true));
    for (int i = 0; i < 246; ++i)
        ASSERT_EQ(colorOf(palette[i]), rgb(0, 0, 0)) << i;
    std::set<UINT32> kept;
    for (int i = 246; i < 256; ++i) {
        kept.insert(colorOf(palette[i]));
        EXPECT_LE(palette[i - 1].rgbRed + palette[i - 1].rgbGreen + palette[i - 1].rgbBlue,
                  palette[i].rgbRed + palette[i].rgbGreen + palette[i].rgbBlue);
    }
    EXPECT_EQ(kept, std::set<UINT32>(colors, colors + 10));

    UINT32 single[4] = {rgb(40, 50, 60), rgb(40, 50, 60), rgb(40, 50, 60), rgb(40, 50, 60)};
    ASSERT_TRUE(medianCutPalette(reinterpret_cast<BYTE*>(single), 2, 2, palette, 2, nullptr, false));
    EXPECT_EQ(colorOf(palette[0]), rgb(0, 0, 0));
    EXPECT_EQ(colorOf(palette[1]), rgb(40, 50, 60));

    SetLastError(0);
    EXPECT_FALSE(medianCutPalette(reinterpret_cast<BYTE*>(single), 2, 2, palette, 0, nullptr, true));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(medianCutPalette(reinterpret_cast<BYTE*>(single), 2, 2, palette, 257, nullptr, true));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(medianCutPalette(nullptr, 2, 2, palette, 2, nullptr, true));
}

TEST(MedianCut, SplitsAtThePixelMedianAndAveragesEachBox)
{
    UINT32 pixels[4] = {rgb(210, 0, 0), rgb(10, 0, 0), rgb(200, 0, 0), rgb(20, 0, 0)};
    RGBQUAD palette[2];
    ASSERT_TRUE(medianCutPalette(reinterpret_cast<BYTE*>(pixels), 4, 1, palette, 2, nullptr, true));
    EXPECT_EQ(colorOf(palette[0]), rgb(15, 0, 0));
    EXPECT_EQ(colorOf(palette[1]), rgb(205, 0, 0));
}

TEST(MedianCut, GroupedModeMergesLowBitsIntoTheirAverageOnlyWhenThePaletteIsTooSmall)
{
    // (100, 50, 200) once and (103, 54, 206) three times share their top 5 bits: 96, 48, 200.
    UINT32 pixels[4] = {rgb(100, 50, 200), rgb(103, 54, 206), rgb(103, 54, 206), rgb(103, 54, 206)};
    RGBQUAD palette[4];
    ASSERT_TRUE(medianCutPalette(reinterpret_cast<BYTE*>(pixels), 2, 2, palette, 1, nullptr, false));
    EXPECT_EQ(colorOf(palette[0]), rgb(96 + (4 + 3 * 7) / 4, 48 + (2 + 3 * 6) / 4, 200 + (0 + 3 * 6) / 4));
    // Two colours fit a palette of four: both modes keep them as they are.
    for (bool exact : {false, true}) {
        ASSERT_TRUE(medianCutPalette(reinterpret_cast<BYTE*>(pixels), 2, 2, palette, 4, nullptr, exact));
        EXPECT_EQ(colorOf(palette[1]), rgb(0, 0, 0)) << exact;
        EXPECT_EQ(colorOf(palette[2]), rgb(100, 50, 200)) << exact;
        EXPECT_EQ(colorOf(palette[3]), rgb(103, 54, 206)) << exact;
    }
}

TEST(MedianCut, CancellingTheCountOrTheCutFails)
{
    Dib dib;
    fill32(dib, 100, 100, [](int x, int y) { return rgb(x * 2, y * 2, 0); });
    RGBQUAD palette[16];
    // 10,000 pixels: one question during the count, one after it, one before the first split.
    for (int answers : {0, 1, 2}) {
        CancelAfter canceller(answers);
        SetLastError(ERROR_INVALID_FUNCTION);
        EXPECT_FALSE(medianCutPalette(dib.getBits(), 100, 100, palette, 16, &canceller, true)) << answers;
        EXPECT_EQ(GetLastError(), 0u);
        EXPECT_EQ(canceller.asked, answers + 1);
    }
    CancelAfter patient(1000);
    EXPECT_TRUE(medianCutPalette(dib.getBits(), 100, 100, palette, 16, &patient, true));
}

TEST(MedianCut, SortingInBlocksKeepsThePlainQuicksortsOrderOfEqualEntries)
{
    // The count tells the entries apart; sizes about the block lengths, and ranges with runs in order.
    Noise next(2463534242u);
    for (int size : {1, 2, 15, 16, 17, 33, 63, 64, 65, 130, 511, 512, 513, 640, 1000, 4099, 70000}) {
        for (int span : {1, 2, 3, 16, 256}) {
            for (bool sortedHalf : {false, true}) {
                std::vector<MedianCut::Entry> plain(size);
                for (int i = 0; i < size; ++i) {
                    UINT32 value = sortedHalf && i < size / 2 ? i * span / size : next() % span;
                    plain[i] = MedianCut::Entry{static_cast<BYTE>(value), static_cast<BYTE>(next()),
                                                static_cast<BYTE>(value), i};
                }
                for (BYTE MedianCut::Entry::*channel : {&MedianCut::Entry::red, &MedianCut::Entry::blue}) {
                    std::vector<MedianCut::Entry> blocks = plain;
                    std::vector<MedianCut::Entry> reference = plain;
                    MedianCut::sortEntries(reference.data(), size, channel, false);
                    MedianCut::sortEntries(blocks.data(), size, channel, true);
                    for (int i = 0; i < size; ++i) {
                        ASSERT_EQ(blocks[i].count, reference[i].count)
                            << "size " << size << ", span " << span << ", sorted half " << sortedHalf << ", at " << i;
                        ASSERT_LE(reference[i > 0 ? i - 1 : 0].*channel, reference[i].*channel);
                    }
                }
            }
        }
    }
}

TEST(MedianCut, LeavingSortsUndoneInBoxesNeverSplitAgainKeepsThePalette)
{
    // Narrow channels make long runs of equal values, whose order decides where each box is split; a few
    // heavy colours move the half-way point about.
    Noise next(88172645u);
    for (int size : {257, 3000, 60000}) {
        for (int span : {3, 40, 256}) {
            std::vector<MedianCut::Entry> entries(size);
            LONGLONG pixels = 0;
            for (MedianCut::Entry& entry : entries) {
                int count = next() % 50 == 0 ? 5000 : 1 + next() % 20;
                entry = MedianCut::Entry{static_cast<BYTE>(next() % span), static_cast<BYTE>(next() % (span / 2 + 1)),
                                         static_cast<BYTE>(100 + next() % (span / 3 + 1)), count};
                pixels += count;
            }
            for (int colorCount : {2, 17, 256}) {
                std::vector<MedianCut::Entry> deferred = entries;
                std::vector<MedianCut::Entry> whole = entries;
                RGBQUAD deferredPalette[256] = {};
                RGBQUAD wholePalette[256] = {};
                ASSERT_TRUE(MedianCut::cutPalette(deferred.data(), size, pixels, deferredPalette, colorCount, nullptr));
                ASSERT_TRUE(MedianCut::cutPalette(whole.data(), size, pixels, wholePalette, colorCount, nullptr, false));
                for (int i = 0; i < colorCount; ++i)
                    ASSERT_EQ(colorOf(deferredPalette[i]), colorOf(wholePalette[i]))
                        << "size " << size << ", span " << span << ", colours " << colorCount << ", entry " << i;
            }
        }
    }
}

TEST(ErrorDiffusion, CarriesTheErrorRightAndDownFromTheTop)
{
    const RGBQUAD blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    // Two pixels of 100 side by side: the first goes black and pushes the second (100 + 700/16) to white.
    UINT32 row[2] = {rgb(100, 100, 100), rgb(100, 100, 100)};
    ASSERT_TRUE(diffuseErrorToPalette(reinterpret_cast<BYTE*>(row), 2, 1, blackWhite, 2, nullptr));
    EXPECT_EQ(row[0], rgb(0, 0, 0));
    EXPECT_EQ(row[1], rgb(255, 255, 255));
    // One above the other: the top row is the last in memory.
    UINT32 column[2] = {rgb(100, 100, 100), rgb(100, 100, 100)};
    ASSERT_TRUE(diffuseErrorToPalette(reinterpret_cast<BYTE*>(column), 1, 2, blackWhite, 2, nullptr));
    EXPECT_EQ(column[1], rgb(0, 0, 0));
    EXPECT_EQ(column[0], rgb(255, 255, 255));
}

class CollectedRows : public IndexRowSink {
public:
    explicit CollectedRows(int width) : width(width) {}
    void takeRow(int y, const BYTE* indices) override
    {
        order.push_back(y);
        rows.resize(std::max<size_t>(rows.size(), y + 1));
        rows[y].assign(indices, indices + width);
    }
    int width;
    std::vector<int> order;
    std::vector<std::vector<BYTE>> rows;
};

TEST(ErrorDiffusion, IndicesOfAnUntouchedPictureAreTheEntriesTheDiffusedPixelsGet)
{
    Dib dib;
    fill32(dib, 97, 31, [](int x, int y) { return rgb(x * 5 % 256, y * 11 % 256, (x * y) % 256); });
    std::vector<BYTE> before(dib.getBits(), dib.getBits() + 97 * 31 * 4);
    const RGBQUAD palette[5] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 128, 255, 0}, {255, 0, 64, 0}, {0, 0, 0, 0}};
    CollectedRows collected(97);
    ASSERT_TRUE(diffuseErrorToIndices(dib.getBits(), 97, 31, palette, 5, nullptr, collected));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), dib.getBits()));
    ASSERT_EQ(collected.order.size(), 31u);
    for (int i = 0; i < 31; ++i)
        EXPECT_EQ(collected.order[i], 30 - i);
    ASSERT_TRUE(diffuseErrorToPalette(dib.getBits(), 97, 31, palette, 5, nullptr, true));
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 97; ++x)
            ASSERT_EQ(collected.rows[y][x], dib.getBits()[(y * 97 + x) * 4 + 3]) << x << ", " << y;

    CancelAfter canceller(3);
    CollectedRows cancelled(97);
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_FALSE(diffuseErrorToIndices(before.data(), 97, 31, palette, 5, &canceller, cancelled));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(cancelled.order.size(), 4u);
}

// Floyd-Steinberg one pixel after the other from the top row down, the carried error kept 16 times too large
// and its share rounded half away from zero: the indices chosen, top row first.
std::vector<BYTE> classicDiffusion(const Dib& dib, const RGBQUAD* palette, int count)
{
    int width = dib.width(), height = dib.height();
    std::vector<int> errors((width + 2) * (height + 1) * 3);
    auto error = [&](int row, int x, int channel) -> int& { return errors[(row * (width + 2) + x + 1) * 3 + channel]; };
    std::vector<BYTE> indices;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            UINT32 pixel = dibPixel32(dib, x, row);
            int wanted[3] = {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF),
                             static_cast<int>(pixel & 0xFF)};
            for (int c = 0; c < 3; ++c) {
                int carried = error(row, x, c);
                int shared = (std::abs(carried) + 8) / 16;
                wanted[c] = std::clamp(wanted[c] + (carried < 0 ? -shared : shared), 0, 255);
            }
            int index = nearestPaletteIndex(palette, count, wanted[0], wanted[1], wanted[2]);
            indices.push_back(static_cast<BYTE>(index));
            int chosen[3] = {palette[index].rgbRed, palette[index].rgbGreen, palette[index].rgbBlue};
            for (int c = 0; c < 3; ++c) {
                int e = wanted[c] - chosen[c];
                error(row, x + 1, c) += 7 * e;
                error(row + 1, x - 1, c) += 3 * e;
                error(row + 1, x, c) += 5 * e;
                error(row + 1, x + 1, c) += e;
            }
        }
    }
    return indices;
}

TEST(ErrorDiffusion, ChoosesWhatClassicFloydSteinbergChoosesAtEverySize)
{
    UINT32 seed = 11;
    auto next = [&seed] { return seed = seed * 1664525 + 1013904223, seed >> 24; };
    std::vector<RGBQUAD> palette(16);
    for (RGBQUAD& entry : palette)
        entry = RGBQUAD{static_cast<BYTE>(next()), static_cast<BYTE>(next()), static_cast<BYTE>(next()), 0};
    palette[15] = palette[3];
    for (auto [width, height] : {std::pair{1, 1}, {1, 9}, {2, 5}, {3, 4}, {5, 3}, {4, 8}, {17, 11}, {64, 13}}) {
        Dib dib;
        // Noisy, with alpha bytes that must not count.
        fill32(dib, width, height, [&](int x, int y) {
            return (next() << 24) | rgb((x * 40 + next() / 4) % 256, (y * 30 + next() / 4) % 256, next());
        });
        CollectedRows collected(width);
        ASSERT_TRUE(diffuseErrorToIndices(dib.getBits(), width, height, palette.data(), 16, nullptr, collected));
        std::vector<BYTE> expected = classicDiffusion(dib, palette.data(), 16);
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(collected.rows[height - 1 - row][x], expected[row * width + x])
                    << width << "x" << height << " at " << x << ", " << row;
    }
}

TEST(ErrorDiffusion, AGradientKeepsItsLocalBrightness)
{
    Dib dib;
    fill32(dib, 256, 64, [](int x, int) { return rgb(x, x, x); });
    const RGBQUAD blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    ASSERT_TRUE(diffuseErrorToPalette(dib.getBits(), 256, 64, blackWhite, 2, nullptr));
    for (int band = 0; band < 256; band += 32) {
        int white = 0;
        for (int y = 0; y < 64; ++y) {
            for (int x = band; x < band + 32; ++x) {
                UINT32 pixel = dibPixel32(dib, x, y);
                ASSERT_TRUE(pixel == rgb(0, 0, 0) || pixel == rgb(255, 255, 255));
                white += pixel == rgb(255, 255, 255);
            }
        }
        double expected = (band + 15.5) / 255.0;
        EXPECT_NEAR(white / (32.0 * 64), expected, 0.03) << "columns from " << band;
    }
}

TEST(ReduceColors, MedianCutKeepsUpTo256ColoursExactly)
{
    // 200 colours, many of them one step apart, which a blit through GDI or the grouping would merge.
    Dib source;
    fill32(source, 40, 30, [](int x, int y) {
        int n = (y * 40 + x) % 200;
        return rgb(n % 10 + 100, n / 10 + 20, n % 3);
    });
    // All 256 grey levels.
    Dib greys;
    fill32(greys, 16, 16, [](int x, int y) { return rgb(y * 16 + x, y * 16 + x, y * 16 + x); });
    for (int mode : {ReduceMedianCutExact, ReduceMedianCutGrouped}) {
        for (bool dither : {false, true}) {
            for (const Dib* picture : {&source, &greys}) {
                Dib reduced;
                ASSERT_TRUE(reduceColors(*picture, reduced, 8, mode, dither, nullptr));
                ASSERT_EQ(reduced.bitCount(), 8);
                for (int y = 0; y < picture->height(); ++y)
                    for (int x = 0; x < picture->width(); ++x)
                        ASSERT_EQ(shownColor(reduced, x, y), dibPixel32(*picture, x, y))
                            << x << "," << y << " mode " << mode << " dither " << dither;
            }
        }
    }
    Dib sixteen, two;
    fill32(sixteen, 16, 5, [](int x, int) { return rgb(x * 15, 255 - x * 15, 3); });
    fill32(two, 9, 3, [](int x, int y) { return (x + y) % 2 ? rgb(200, 30, 30) : rgb(30, 30, 200); });
    struct Case {
        Dib* source;
        int bitCount;
    } cases[] = {{&sixteen, 4}, {&two, 1}};
    for (const Case& test : cases) {
        Dib reduced;
        ASSERT_TRUE(reduceColors(*test.source, reduced, test.bitCount, ReduceMedianCutExact, false, nullptr));
        ASSERT_EQ(reduced.bitCount(), test.bitCount);
        for (int y = 0; y < test.source->height(); ++y)
            for (int x = 0; x < test.source->width(); ++x)
                ASSERT_EQ(shownColor(reduced, x, y), dibPixel32(*test.source, x, y)) << test.bitCount;
    }
}

TEST(ReduceColors, ManyColoursGiveFullPalettesOfEachDepth)
{
    Dib source;
    fill32(source, 64, 64, gridColor);
    Dib source24;
    ASSERT_TRUE(reduceColors(source, source24, 24, 0, false, nullptr));
    for (int mode : {ReduceMedianCutExact, ReduceMedianCutGrouped}) {
        for (int bitCount : {1, 4, 8}) {
            Dib reduced;
            ASSERT_TRUE(reduceColors(source24, reduced, bitCount, mode, true, nullptr));
            ASSERT_EQ(reduced.bitCount(), bitCount);
            EXPECT_EQ(distinctColors(reduced.getColorTable(), reduced.colorCount()), 1 << bitCount);
            std::set<int> used;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x)
                    used.insert(dibIndex(reduced, x, y));
            EXPECT_GE(static_cast<int>(used.size()), (1 << bitCount) * 3 / 4) << mode << " " << bitCount;
        }
    }
}

TEST(ReduceColors, DefaultPaletteWithAndWithoutDiffusion)
{
    Dib ramp;
    fill32(ramp, 256, 32, [](int x, int) { return rgb(x, x, x); });
    Dib plain;
    ASSERT_TRUE(reduceColors(ramp, plain, 1, ReduceDefaultPalette, false, nullptr));
    EXPECT_EQ(colorOf(plain.getColorTable()[0]), rgb(0, 0, 0));
    EXPECT_EQ(colorOf(plain.getColorTable()[1]), rgb(255, 255, 255));
    EXPECT_EQ(dibIndex(plain, 127, 5), 0);
    EXPECT_EQ(dibIndex(plain, 128, 5), 1);

    Dib diffused;
    ASSERT_TRUE(reduceColors(ramp, diffused, 1, ReduceDefaultPalette, true, nullptr));
    int whiteLeft = 0, whiteRight = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            whiteLeft += dibIndex(diffused, x, y);
            whiteRight += dibIndex(diffused, 255 - x, y);
        }
    }
    EXPECT_NEAR(whiteLeft / 2048.0, 31.5 / 255, 0.03);
    EXPECT_NEAR(whiteRight / 2048.0, 223.5 / 255, 0.03);
}

TEST(ReduceColors, DeeperDepthsAreDrawnAndOwnDepthCopied)
{
    Dib source;
    fill32(source, 7, 5, [](int x, int y) { return static_cast<UINT32>(x * 30) << 24 | rgb(x * 30, y * 40, 77); });
    Dib opaque;
    ASSERT_TRUE(reduceColors(source, opaque, 24, 0, false, nullptr));
    Dib back;
    ASSERT_TRUE(reduceColors(opaque, back, 32, 0, false, nullptr));
    Dib copy;
    ASSERT_TRUE(reduceColors(source, copy, 32, 0, false, nullptr));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(dibPixel32(back, x, y), rgb(x * 30, y * 40, 77));
            EXPECT_EQ(dibPixel32(copy, x, y), dibPixel32(source, x, y));
        }
    }
    ASSERT_TRUE(source.toBitsPerPixel24());
    EXPECT_EQ(source.bitCount(), 24);
    EXPECT_EQ(dibPixel32(source, 3, 2) & 0xFFFFFF, rgb(90, 80, 77) & 0xFFFFFF);
    EXPECT_TRUE(source.toBitsPerPixel24());
}

TEST(ReduceColors, BadArgumentsAndCancellationLeaveNoPicture)
{
    Dib source;
    fill32(source, 100, 100, [](int x, int y) { return rgb(x, y, x ^ y); });
    SetLastError(0);
    EXPECT_FALSE(reduceColors(source, source, 8, ReduceMedianCutExact, false, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(source.isEmpty());

    Dib empty, destination;
    ASSERT_TRUE(destination.create(2, 2, 24, RGB(0, 0, 0)));
    EXPECT_FALSE(reduceColors(empty, destination, 8, ReduceMedianCutExact, false, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(destination.isEmpty());
    EXPECT_FALSE(reduceColors(source, destination, 2, ReduceMedianCutExact, false, nullptr));
    EXPECT_FALSE(reduceColors(source, destination, 12, ReduceMedianCutExact, false, nullptr));

    // Running out of memory at any step fails cleanly.
    for (int successes = 0; successes < 16; ++successes) {
        MemoryAllocator::failAfter(successes);
        bool done = reduceColors(source, destination, 8, ReduceMedianCutExact, true, nullptr);
        DWORD error = GetLastError();
        MemoryAllocator::failAfter(-1);
        if (!done) {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << successes;
            EXPECT_TRUE(destination.isEmpty());
        }
    }

    // Cancelled in the histogram, in the cut (the third question) and in the diffusion up to its last row.
    CancelAfter never(100000);
    ASSERT_TRUE(reduceColors(source, destination, 8, ReduceMedianCutExact, true, &never));
    for (int answers : {0, 2, 5, 50, never.asked - 1}) {
        CancelAfter canceller(answers);
        SetLastError(ERROR_INVALID_FUNCTION);
        EXPECT_FALSE(reduceColors(source, destination, 8, ReduceMedianCutExact, true, &canceller)) << answers;
        EXPECT_EQ(GetLastError(), 0u) << answers;
        EXPECT_TRUE(destination.isEmpty());
    }
}

TEST(DibColorFilter, ChangesTheTableOfIndexedAndThePixelsOfDeepDibs)
{
    Dib indexed;
    ASSERT_TRUE(indexed.create(4, 2, 8, RGB(0, 0, 0)));
    setDibIndex(indexed, 1, 0, 37);
    std::vector<RGBQUAD> table(indexed.getColorTable(), indexed.getColorTable() + 256);
    std::vector<BYTE> bits(indexed.getBits(), indexed.getBits() + indexed.imageSize());
    DibConvert::ColorFilter filter(new InvertFilter(), true);
    ASSERT_TRUE(filter.convert(indexed, nullptr));
    EXPECT_EQ(std::vector<BYTE>(indexed.getBits(), indexed.getBits() + indexed.imageSize()), bits);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(colorOf(indexed.getColorTable()[i]), (~colorOf(table[i]) & 0xFFFFFF) | 0xFF000000u) << i;

    for (int bitCount : {32, 24}) {
        Dib deep;
        ASSERT_TRUE(deep.create(3, 3, bitCount, RGB(10, 20, 30)));
        ASSERT_TRUE(filter.convert(deep, nullptr));
        EXPECT_EQ(dibPixel32(deep, 2, 1) & 0xFFFFFF, rgb(245, 235, 225) & 0xFFFFFF) << bitCount;
    }

    DibConvert::ColorFilter none(nullptr, false);
    SetLastError(0);
    EXPECT_FALSE(none.convert(indexed, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_FALSE(indexed.isEmpty());

    Dib deep;
    ASSERT_TRUE(deep.create(3, 3, 32, RGB(10, 20, 30)));
    CancelAfter canceller(1);
    SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_FALSE(filter.convert(deep, &canceller));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(deep.isEmpty());
}
