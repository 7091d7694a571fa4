// Animated GIFs as the writer makes them and as a viewer plays them: every file is decoded again by GDI+.
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>
#include "imaging/AnimeGifFileGenerator.h"
#include "imaging/AnimeGifTimer.h"
#include "imaging/MultiFrameTiffFileGenerator.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gifBlocks.h"
#include "support/WicTesting.h"

namespace {

constexpr UINT32 Yellow = 0xFFFFFF00;
constexpr int Width = 24;
constexpr int Height = 16;
using Frames = std::vector<std::pair<Gdiplus::Bitmap*, int>>;

Gdiplus::Bitmap* flat(UINT32 color, int width = Width, int height = Height)
{
    return makeBitmap32(width, height, [color](int, int) { return color; });
}

// A first frame of stripes brings the colours that later ones use, which then share its palette.
UINT32 stripe(int x, int)
{
    const UINT32 colors[] = {Red, Green, Blue, Yellow};
    return colors[x * 4 / Width];
}

Gdiplus::Bitmap* stripes()
{
    return makeBitmap32(Width, Height, stripe);
}

// White in the top-left quarter.
Gdiplus::Bitmap* whiteCorner(UINT32 color)
{
    return makeBitmap32(Width, Height, [color](int x, int y) { return x < Width / 2 && y < Height / 2 ? White : color; });
}

using PixelOf = std::function<UINT32(int x, int y)>;

UINT32 rgb(int red, int green, int blue)
{
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// From one colour at the left to the other at the right, each row a little bluer (blue wrapping around): every
// pixel has a colour of its own, more than a palette holds.
PixelOf gradient(UINT32 left, UINT32 right)
{
    return [=](int x, int y) {
        auto channel = [&](int shift) {
            int from = left >> shift & 0xFF;
            int to = right >> shift & 0xFF;
            return from + (to - from) * x / (Width - 1);
        };
        return rgb(channel(16), channel(8), (channel(0) + y * 4) & 0xFF);
    };
}

// The quarter of whiteCorner with every n-th pixel a near white that a reduction of many colours merges with white.
PixelOf speckledCorner(int every, PixelOf elsewhere)
{
    return [=](int x, int y) {
        if (x >= Width / 2 || y >= Height / 2)
            return elsewhere(x, y);
        return (x + y) % every == 0 ? rgb(249, 249, 249) : White;
    };
}

// The colour table that each frame's indices refer to: its own, else the global one.
std::vector<std::vector<BYTE>> frameTables(const std::vector<BYTE>& gif)
{
    std::vector<std::vector<BYTE>> tables;
    GifPicture picture;
    if (!findGifPicture(gif, picture))
        return tables;
    // Each later frame is found behind the file's header and global table.
    size_t head = picture.globalTable ? picture.globalTable + picture.globalTableBytes : GifBlock::ScreenBytes;
    std::vector<BYTE> rest(gif);
    while (findGifPicture(rest, picture)) {
        tables.emplace_back(rest.begin() + picture.table, rest.begin() + picture.table + picture.tableBytes);
        rest.erase(rest.begin() + head, rest.begin() + picture.imageEnd);
    }
    return tables;
}

BitmapPtr decode(const std::wstring& path)
{
    StreamPtr stream(streamOf(readBytes(path)));
    return BitmapPtr(gdipBitmapFromStream(stream.get()));
}

UINT32 framePixel(Gdiplus::Bitmap* gif, UINT frame, int x, int y)
{
    gif->SelectActiveFrame(&Gdiplus::FrameDimensionTime, frame);
    return pixelAt(gif, x, y);
}

class AnimatedGifWriter : public WicTest {
protected:
    // One animation of the pictures, each frame with the delay beside it.
    bool writeAnimation(Frames frames, int transparency = 0, COLORREF color = 0)
    {
        std::vector<BitmapPtr> owned;
        for (auto& frame : frames)
            owned.emplace_back(frame.first);
        AnimeGifFileGenerator writer;
        for (size_t i = 0; i < frames.size(); ++i) {
            writer.delay = frames[i].second;
            bool added = i == 0 ? writer.open(path.c_str(), owned[0].get(), transparency, color)
                                : writer.addFrame(owned[i].get());
            if (!added)
                return false;
        }
        return writer.close(true);
    }

    ScratchFolder folder{L"korvilane-gif"};
    std::wstring path = folder.file(L"animation.gif");
};

TEST_F(AnimatedGifWriter, FramesReadBackWithTheirColoursOwnDelaysAndEndlessLoop)
{
    auto larger = makeBitmap32(Width * 2, Height * 2, [](int x, int y) { return x < Width && y < Height ? Green : Red; });
    ASSERT_TRUE(writeAnimation({{stripes(), 10}, {larger, 50}, {flat(Yellow, Width / 2, Height / 2), 7}}));

    BitmapPtr gif = decode(path);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->GetFrameCount(&Gdiplus::FrameDimensionTime), 3u);
    EXPECT_EQ(gifFrameDelays(gif.get()), (std::vector<WORD>{10, 50, 7}));
    UINT size = gif->GetPropertyItemSize(PropertyTagLoopCount);
    std::vector<BYTE> item(size);
    auto loop = reinterpret_cast<Gdiplus::PropertyItem*>(item.data());
    ASSERT_EQ(gif->GetPropertyItem(PropertyTagLoopCount, size, loop), Gdiplus::Ok);
    EXPECT_EQ(*static_cast<SHORT*>(loop->value), 0) << "repeat forever";

    EXPECT_EQ(framePixel(gif.get(), 0, 0, 5), Red);
    EXPECT_EQ(framePixel(gif.get(), 0, Width - 1, 5), Yellow);
    EXPECT_EQ(framePixel(gif.get(), 1, Width - 1, Height - 1), Green) << "a larger frame is cut at the first size";
    EXPECT_EQ(framePixel(gif.get(), 2, 1, 1), Yellow);
    EXPECT_EQ(framePixel(gif.get(), 2, Width - 1, Height - 1), Black) << "a smaller one is padded";
}

// A frame keeps its own colours; one whose colours the first frame's palette holds shares that palette.
TEST_F(AnimatedGifWriter, EachFrameKeepsItsOwnColours)
{
    auto greenAndYellow = [](int x, int) { return x < Width / 2 ? Green : Yellow; };
    const struct {
        const char* name;
        PixelOf first;
        PixelOf second;
        // Of any channel, between a decoded pixel and its source.
        int tolerance;
        bool sharesTheFirstTable;
    } cases[] = {
        {"colours of its own", gradient(Black, White), gradient(Yellow, rgb(128, 0, 128)), 4, false},
        {"colours of the first", stripe, greenAndYellow, 0, true},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(writeAnimation({{makeBitmap32(Width, Height, row.first), 5},
                                    {makeBitmap32(Width, Height, row.second), 5}}));
        BitmapPtr gif = decode(path);
        ASSERT_TRUE(gif);
        int worst = 0;
        for (UINT frame = 0; frame < 2; ++frame)
            for (int i = 0; i < Width * Height; ++i) {
                UINT32 source = (frame == 0 ? row.first : row.second)(i % Width, i / Width);
                worst = std::max(worst, channelDistance(framePixel(gif.get(), frame, i % Width, i / Width), source));
            }
        EXPECT_LE(worst, row.tolerance);
        std::vector<std::vector<BYTE>> tables = frameTables(readBytes(path));
        ASSERT_EQ(tables.size(), 2u);
        EXPECT_EQ(tables[1] == tables[0], row.sharesTheFirstTable);
    }
}

TEST_F(AnimatedGifWriter, TheFileStartsWithItsOwnScreenTableAndLoop)
{
    ASSERT_TRUE(writeAnimation({{flat(Red), AnimeGifFileGenerator::DefaultDelay}}));
    std::vector<BYTE> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 808u);
    const BYTE screen[] = {'G', 'I', 'F', '8', '9', 'a', Width, 0, Height, 0, 0xF7};
    EXPECT_TRUE(std::equal(screen, screen + sizeof(screen), bytes.begin())) << "a global table of 256 colours";
    const BYTE loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    EXPECT_TRUE(std::equal(loop, loop + sizeof(loop), bytes.begin() + 13 + 768));
    const BYTE control[] = {0x21, 0xF9, 4, 0, 5, 0};
    EXPECT_TRUE(std::equal(control, control + sizeof(control), bytes.begin() + 800));
    EXPECT_EQ(bytes[808], 0x2C) << "the image descriptor follows";
    EXPECT_EQ(bytes.back(), 0x3B);
}

TEST_F(AnimatedGifWriter, TransparencyFollowsTheChosenColourInEveryFrame)
{
    auto alpha = [this](UINT frame, int x, int y) { return framePixel(decode(path).get(), frame, x, y) >> 24; };
    ASSERT_TRUE(writeAnimation({{whiteCorner(Red), 5}, {whiteCorner(Blue), 5}}, AnimeGifFileGenerator::TopLeftColor));
    for (UINT frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(alpha(frame, 1, 1), 0u) << frame;
        EXPECT_EQ(alpha(frame, Width - 1, Height - 1), 0xFFu) << frame;
    }
    // The first frame's many colours merge its near whites with white into the transparent colour; a later frame
    // of colours of its own keeps that colour for its whites and near whites.
    ASSERT_TRUE(writeAnimation({{makeBitmap32(Width, Height, speckledCorner(4, gradient(Yellow, Blue))), 5},
                                {makeBitmap32(Width, Height, speckledCorner(2, gradient(Red, Green))), 5}},
                               AnimeGifFileGenerator::TopLeftColor));
    for (UINT frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(alpha(frame, 0, 0), 0u) << frame;
        EXPECT_EQ(alpha(frame, 1, 1), 0u) << frame;
        EXPECT_EQ(alpha(frame, Width - 1, Height - 1), 0xFFu) << frame;
    }
    ASSERT_TRUE(writeAnimation({{whiteCorner(Red), 5}}, AnimeGifFileGenerator::BottomRightColor));
    EXPECT_EQ(alpha(0, Width - 1, Height - 1), 0u);
    EXPECT_EQ(alpha(0, 1, 1), 0xFFu);
    ASSERT_TRUE(writeAnimation({{whiteCorner(Red), 5}}, AnimeGifFileGenerator::GivenColor, RGB(255, 0, 0)));
    EXPECT_EQ(alpha(0, Width - 1, Height - 1), 0u);
    // No transparency, or a colour in no frame: the control block has no transparency bit.
    for (int mode : {AnimeGifFileGenerator::NoTransparency, AnimeGifFileGenerator::GivenColor}) {
        ASSERT_TRUE(writeAnimation({{whiteCorner(Red), 5}}, mode, RGB(1, 2, 3)));
        EXPECT_EQ(readBytes(path)[803] & 1, 0) << mode;
        EXPECT_EQ(alpha(0, 1, 1), 0xFFu) << mode;
    }
}

TEST_F(AnimatedGifWriter, AnUnfinishedAnimationLeavesThePathAsItWas)
{
    const std::vector<BYTE> old = {'o', 'l', 'd'};
    writeBytes(path, old);
    BitmapPtr red(flat(Red));
    AnimeGifFileGenerator writer;
    writer.delay = 20;
    ASSERT_TRUE(writer.open(path.c_str(), red.get(), 0, 0));
    EXPECT_TRUE(writer.addFrame(red.get()));
    EXPECT_FALSE(writer.close(false));
    EXPECT_EQ(writer.delay, AnimeGifFileGenerator::DefaultDelay);
    // A frame that fails closes the generator: later frames fail too, and nothing is written.
    ASSERT_TRUE(writer.open(path.c_str(), red.get(), 0, 0));
    EXPECT_FALSE(writer.addFrame(nullptr));
    EXPECT_FALSE(writer.addFrame(red.get()));
    EXPECT_FALSE(writer.close(true));
    EXPECT_EQ(readBytes(path), old);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.file(L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left behind";
    FindClose(search);
}

// A message-only window that collects the timer's frame messages.
class AnimeGifTimerTest : public AnimatedGifWriter {
protected:
    void SetUp() override
    {
        AnimatedGifWriter::SetUp();
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        AnimatedGifWriter::TearDown();
    }

    // The frame indices of the next `count` messages, waiting at most two seconds.
    std::vector<WPARAM> frames(size_t count)
    {
        std::vector<WPARAM> indices;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        MSG message;
        while (indices.size() < count && std::chrono::steady_clock::now() < until) {
            if (PeekMessageW(&message, window, AnimeGifTimer::FrameMessage, AnimeGifTimer::FrameMessage, PM_REMOVE))
                indices.push_back(message.wParam);
            else
                Sleep(1);
        }
        return indices;
    }

    BitmapPtr animation(std::vector<int> delays)
    {
        Frames list;
        for (int delay : delays)
            list.emplace_back(flat(Red), delay);
        EXPECT_TRUE(writeAnimation(list));
        return decode(path);
    }

    HWND window = nullptr;
};

TEST_F(AnimeGifTimerTest, StepsThroughTheFramesWrapsAroundAndRestartsAtTheFirst)
{
    BitmapPtr gif = animation({2, 0, 3});
    EXPECT_EQ(gifFrameDelays(gif.get()), (std::vector<WORD>{2, 1, 3})) << "a delay of 0 counts as 1";
    AnimeGifTimer timer;
    ASSERT_TRUE(timer.start(gif.get(), window));
    EXPECT_EQ(frames(7), (std::vector<WPARAM>{1, 2, 0, 1, 2, 0, 1}));

    // The first frame of the new animation shows for 300 ms: old messages are all gone before it ends.
    BitmapPtr slow = animation({30, 1});
    ASSERT_TRUE(timer.start(slow.get(), window));
    MSG stale;
    while (PeekMessageW(&stale, window, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(frames(3), (std::vector<WPARAM>{1, 0, 1}));
    timer.stop();
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(AnimeGifTimerTest, StopsWithinASliceOfALongDelay)
{
    BitmapPtr gif = animation({6000, 6000});
    AnimeGifTimer timer;
    ASSERT_TRUE(timer.start(gif.get(), window));
    Sleep(30);
    auto before = std::chrono::steady_clock::now();
    timer.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, window, AnimeGifTimer::FrameMessage, AnimeGifTimer::FrameMessage, PM_REMOVE));
}

TEST_F(AnimeGifTimerTest, StillPicturesAndTiffPagesDoNotStart)
{
    AnimeGifTimer timer;
    BitmapPtr single = animation({10});
    EXPECT_FALSE(timer.start(single.get(), window));

    BitmapPtr page(flat(Green));
    MultiFrameTiffFileGenerator pages;
    ASSERT_TRUE(pages.open(path.c_str(), page.get()) && pages.addFrame(page.get()) && pages.close(true));
    BitmapPtr tiff = decode(path);
    EXPECT_FALSE(isGifImage(tiff.get()));
    EXPECT_FALSE(timer.start(tiff.get(), window));
    EXPECT_FALSE(timer.isRunning());
}

} // namespace
