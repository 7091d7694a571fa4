// Animated GIFs as the writer makes them and as a viewer plays them: every file is decoded again by GDI+.
#include <gtest/gtest.h>
#include <chrono>
#include <memory>
#include <string>
#include <vector>
#include "WicTesting.h"
#include "imaging/AnimeGifFileGenerator.h"
#include "imaging/AnimeGifTimer.h"
#include "imaging/MultiFrameTiffFileGenerator.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr UINT32 Yellow = 0xFFFFFF00;
constexpr int Width = 24;
constexpr int Height = 16;

Gdiplus::Bitmap* flat(UINT32 color, int width = Width, int height = Height)
{
    return makeBitmap32(width, height, [color](int, int) { return color; });
}

// Every frame takes the first frame's palette: a first frame of stripes brings the colours that the later ones use.
Gdiplus::Bitmap* stripes()
{
    const UINT32 colors[] = {Red, Green, Blue, Yellow};
    return makeBitmap32(Width, Height, [&colors](int x, int) { return colors[x * 4 / Width]; });
}

// A white block in the top-left quarter of the colour.
Gdiplus::Bitmap* whiteCorner(UINT32 color)
{
    return makeBitmap32(Width, Height, [color](int x, int y) { return x < Width / 2 && y < Height / 2 ? White : color; });
}

struct DecodedGif {
    BitmapPtr bitmap;
    UINT frames = 0;
    std::vector<LONG> delays;

    UINT32 pixel(UINT frame, int x, int y)
    {
        bitmap->SelectActiveFrame(&Gdiplus::FrameDimensionTime, frame);
        return pixelAt(bitmap.get(), x, y);
    }
};

DecodedGif decode(const std::wstring& path)
{
    DecodedGif gif;
    StreamPtr stream(streamOf(readBytes(path)));
    gif.bitmap.reset(gdipBitmapFromStream(stream.get()));
    if (!gif.bitmap)
        return gif;
    gif.frames = gif.bitmap->GetFrameCount(&Gdiplus::FrameDimensionTime);
    UINT size = gif.bitmap->GetPropertyItemSize(PropertyTagFrameDelay);
    std::vector<BYTE> item(size);
    auto property = reinterpret_cast<Gdiplus::PropertyItem*>(item.data());
    if (size && gif.bitmap->GetPropertyItem(PropertyTagFrameDelay, size, property) == Gdiplus::Ok) {
        auto values = static_cast<LONG*>(property->value);
        gif.delays.assign(values, values + property->length / sizeof(LONG));
    }
    return gif;
}

class AnimatedGifWriter : public WicTest {
protected:
    // Writes the pictures as one animation, each frame with the delay beside it.
    bool writeAnimation(const std::wstring& path, std::vector<std::pair<Gdiplus::Bitmap*, int>> frames,
                        int transparency = AnimeGifFileGenerator::NoTransparency, COLORREF color = 0)
    {
        std::vector<BitmapPtr> owned;
        for (auto& frame : frames)
            owned.emplace_back(frame.first);
        AnimeGifFileGenerator writer;
        writer.delay = frames[0].second;
        if (!writer.open(path.c_str(), owned[0].get(), transparency, color))
            return false;
        for (size_t i = 1; i < frames.size(); ++i) {
            writer.delay = frames[i].second;
            if (!writer.addFrame(owned[i].get()))
                return false;
        }
        return writer.close(true);
    }

    ScratchFolder folder{L"korvilane-gif"};
    std::wstring path = folder.file(L"animation.gif");
};

TEST_F(AnimatedGifWriter, FramesReadBackWithTheirColoursAndOwnDelays)
{
    ASSERT_TRUE(writeAnimation(path, {{stripes(), 10}, {flat(Green), 50}, {flat(Blue), 7}}));

    DecodedGif gif = decode(path);
    ASSERT_TRUE(gif.bitmap);
    EXPECT_EQ(gif.frames, 3u);
    EXPECT_EQ(gif.delays, (std::vector<LONG>{10, 50, 7}));
    UINT size = gif.bitmap->GetPropertyItemSize(PropertyTagLoopCount);
    std::vector<BYTE> item(size);
    auto loopCount = reinterpret_cast<Gdiplus::PropertyItem*>(item.data());
    ASSERT_EQ(gif.bitmap->GetPropertyItem(PropertyTagLoopCount, size, loopCount), Gdiplus::Ok);
    EXPECT_EQ(*static_cast<SHORT*>(loopCount->value), 0) << "repeat forever";
    EXPECT_EQ(gif.pixel(0, 0, 5), Red);
    EXPECT_EQ(gif.pixel(0, Width - 1, 5), Yellow);
    EXPECT_EQ(gif.pixel(1, 5, 5), Green);
    EXPECT_EQ(gif.pixel(2, Width - 1, Height - 1), Blue);
    // What a viewer's timer reads from the same picture.
    EXPECT_TRUE(isGifImage(gif.bitmap.get()));
    EXPECT_EQ(gifFrameDelays(gif.bitmap.get()), (std::vector<WORD>{10, 50, 7}));
}

TEST_F(AnimatedGifWriter, FileHasItsOwnScreenTableAndLoopsForever)
{
    AnimeGifFileGenerator writer;
    EXPECT_EQ(writer.delay, AnimeGifFileGenerator::DefaultDelay);
    BitmapPtr red(flat(Red));
    ASSERT_TRUE(writer.open(path.c_str(), red.get(), AnimeGifFileGenerator::NoTransparency, 0));
    ASSERT_TRUE(writer.close(true));
    EXPECT_EQ(writer.delay, AnimeGifFileGenerator::DefaultDelay);

    std::vector<BYTE> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 808u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes[6] | bytes[7] << 8, Width);
    EXPECT_EQ(bytes[8] | bytes[9] << 8, Height);
    EXPECT_EQ(bytes[10], 0xF7) << "a global table of 256 colours";
    const BYTE loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    EXPECT_TRUE(std::equal(loop, loop + sizeof(loop), bytes.begin() + 781));
    const BYTE control[] = {0x21, 0xF9, 4, 0, 5, 0};
    EXPECT_TRUE(std::equal(control, control + sizeof(control), bytes.begin() + 800));
    EXPECT_EQ(bytes[808], 0x2C) << "the image descriptor follows";
    EXPECT_EQ(bytes.back(), 0x3B);
    DecodedGif gif = decode(path);
    ASSERT_TRUE(gif.bitmap);
    EXPECT_EQ(gif.frames, 1u);
    EXPECT_EQ(gif.pixel(0, 3, 3), Red);
}

TEST_F(AnimatedGifWriter, TransparencyFollowsTheChosenColourInEveryFrame)
{
    auto alpha = [](UINT32 pixel) { return pixel >> 24; };
    // The top-left pixel is white: white is transparent wherever it appears.
    ASSERT_TRUE(writeAnimation(path, {{whiteCorner(Red), 5}, {whiteCorner(Blue), 5}},
                               AnimeGifFileGenerator::TopLeftColor));
    DecodedGif corner = decode(path);
    ASSERT_EQ(corner.frames, 2u);
    for (UINT frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(alpha(corner.pixel(frame, 1, 1)), 0u) << frame;
        EXPECT_EQ(alpha(corner.pixel(frame, Width - 1, Height - 1)), 0xFFu) << frame;
    }
    // The bottom-right colour, and a given colour.
    ASSERT_TRUE(writeAnimation(path, {{whiteCorner(Red), 5}}, AnimeGifFileGenerator::BottomRightColor));
    EXPECT_EQ(alpha(decode(path).pixel(0, Width - 1, Height - 1)), 0u);
    EXPECT_EQ(alpha(decode(path).pixel(0, 1, 1)), 0xFFu);
    ASSERT_TRUE(writeAnimation(path, {{whiteCorner(Red), 5}}, AnimeGifFileGenerator::GivenColor, RGB(255, 0, 0)));
    EXPECT_EQ(alpha(decode(path).pixel(0, Width - 1, Height - 1)), 0u);
    // No transparency, or a colour that is in no frame: everything stays opaque.
    for (int mode : {AnimeGifFileGenerator::NoTransparency, AnimeGifFileGenerator::GivenColor}) {
        ASSERT_TRUE(writeAnimation(path, {{whiteCorner(Red), 5}}, mode, RGB(1, 2, 3)));
        std::vector<BYTE> bytes = readBytes(path);
        EXPECT_EQ(bytes[803] & 1, 0) << mode;
        EXPECT_EQ(alpha(decode(path).pixel(0, 1, 1)), 0xFFu) << mode;
    }
}

TEST_F(AnimatedGifWriter, FramesOfOtherSizesAreCutOrPaddedAtTheTopLeft)
{
    auto larger = makeBitmap32(Width * 2, Height * 2, [](int x, int y) { return x < Width && y < Height ? Green : Red; });
    ASSERT_TRUE(writeAnimation(path, {{stripes(), 5}, {larger, 5}, {flat(Yellow, Width / 2, Height / 2), 5}}));

    DecodedGif gif = decode(path);
    ASSERT_EQ(gif.frames, 3u);
    EXPECT_EQ(gif.bitmap->GetWidth(), static_cast<UINT>(Width));
    EXPECT_EQ(gif.pixel(1, Width - 1, Height - 1), Green) << "the part beyond the first frame's size is cut";
    EXPECT_EQ(gif.pixel(2, 1, 1), Yellow);
    EXPECT_EQ(gif.pixel(2, Width - 1, Height - 1) & 0xFFFFFF, 0u) << "black where the smaller frame ends";
}

TEST_F(AnimatedGifWriter, AnUnfinishedAnimationLeavesThePathAsItWas)
{
    const std::vector<BYTE> old = {'o', 'l', 'd'};
    writeBytes(path, old);
    BitmapPtr red(flat(Red));
    {
        AnimeGifFileGenerator dropped;
        dropped.delay = 20;
        ASSERT_TRUE(dropped.open(path.c_str(), red.get(), 0, 0));
        EXPECT_TRUE(dropped.addFrame(red.get()));
        EXPECT_FALSE(dropped.close(false));
        EXPECT_EQ(dropped.delay, AnimeGifFileGenerator::DefaultDelay);
    }
    {
        // A frame that fails closes the generator: the frames after it fail too, and nothing is written.
        AnimeGifFileGenerator failed;
        ASSERT_TRUE(failed.open(path.c_str(), red.get(), 0, 0));
        EXPECT_FALSE(failed.addFrame(nullptr));
        EXPECT_FALSE(failed.isOpen());
        EXPECT_FALSE(failed.addFrame(red.get()));
        EXPECT_FALSE(failed.close(true));
    }
    {
        // Destroyed while open.
        AnimeGifFileGenerator abandoned;
        ASSERT_TRUE(abandoned.open(path.c_str(), red.get(), 0, 0));
    }
    AnimeGifFileGenerator nowhere;
    EXPECT_FALSE(nowhere.open(folder.file(L"missing\\a.gif").c_str(), red.get(), 0, 0));
    EXPECT_EQ(readBytes(path), old);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder.file(L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "no temporary file is left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// A message-only window that collects the timer's frame messages.
class AnimeGifTimerTest : public AnimatedGifWriter {
protected:
    void SetUp() override
    {
        AnimatedGifWriter::SetUp();
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
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
        while (indices.size() < count && std::chrono::steady_clock::now() < until) {
            MSG message;
            if (PeekMessageW(&message, window, AnimeGifTimer::FrameMessage, AnimeGifTimer::FrameMessage, PM_REMOVE))
                indices.push_back(message.wParam);
            else
                Sleep(1);
        }
        return indices;
    }

    BitmapPtr animation(std::vector<int> delays)
    {
        std::vector<std::pair<Gdiplus::Bitmap*, int>> list;
        for (int delay : delays)
            list.emplace_back(flat(Red), delay);
        EXPECT_TRUE(writeAnimation(path, list));
        return decode(path).bitmap;
    }

    HWND window = nullptr;
};

TEST_F(AnimeGifTimerTest, StepsThroughTheFramesAndWrapsAround)
{
    BitmapPtr gif = animation({2, 0, 3});
    EXPECT_EQ(gifFrameDelays(gif.get()), (std::vector<WORD>{2, 1, 3})) << "a delay of 0 counts as 1";
    AnimeGifTimer timer;
    ASSERT_TRUE(timer.start(gif.get(), window));
    EXPECT_TRUE(timer.isRunning());
    EXPECT_EQ(frames(7), (std::vector<WPARAM>{1, 2, 0, 1, 2, 0, 1}));

    // A new start stops the old thread and begins again at the first frame, which shows for 300 ms.
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
    auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_LT(waited, std::chrono::milliseconds(200));
    EXPECT_TRUE(frames(1).empty());
}

TEST_F(AnimeGifTimerTest, StillPicturesAndTiffPagesDoNotStart)
{
    AnimeGifTimer timer;
    BitmapPtr single = animation({10});
    EXPECT_TRUE(isGifImage(single.get()));
    EXPECT_FALSE(timer.start(single.get(), window));

    BitmapPtr page(flat(Green));
    std::wstring tiff = folder.file(L"pages.tif");
    MultiFrameTiffFileGenerator pages;
    ASSERT_TRUE(pages.open(tiff.c_str(), page.get()));
    ASSERT_TRUE(pages.addFrame(page.get()));
    ASSERT_TRUE(pages.close(true));
    StreamPtr stream(streamOf(readBytes(tiff)));
    BitmapPtr decoded(gdipBitmapFromStream(stream.get()));
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(isGifImage(decoded.get()));
    EXPECT_FALSE(timer.start(decoded.get(), window));
    EXPECT_FALSE(timer.isRunning());
}

} // namespace
