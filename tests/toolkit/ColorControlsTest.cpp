#include <gtest/gtest.h>
#include <vector>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"
#include "support/Screenshot.h"
#include "toolkit/ColorHistogram.h"
#include "toolkit/ColorPalette.h"

namespace {

using Entry = ColorHistogram::Entry;

constexpr COLORREF Background = RGB(255, 255, 255);
constexpr COLORREF MeanLine = RGB(255, 0, 255);

// The colour of the histogram drawing at (x, y) from its top.
COLORREF drawn(const Dib& drawing, int x, int y)
{
    const BYTE* pixel = dibPixel(drawing, x, y);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// The height of the bar in column x: the run of the bar colour up from the bottom row.
int barHeight(const Dib& drawing, int x, COLORREF bar)
{
    int height = 0;
    while (height < Entry::Height && drawn(drawing, x, Entry::Height - 1 - height) == bar)
        ++height;
    return height;
}

// A 24-bit picture of 100 pixels: `reds` pure red ones, the rest pure blue.
Dib redAndBlue(int reds)
{
    Dib picture;
    EXPECT_TRUE(picture.create(10, 10, 24, RGB(0, 0, 255)));
    for (int i = 0; i < reds; ++i) {
        BYTE* pixel = dibPixel(picture, i % 10, i / 10);
        pixel[0] = 0;
        pixel[2] = 255;
    }
    return picture;
}

COLORREF screenPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

class ColorControlsTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        ColorHistogram::registerClass();
        ColorPalette::registerClass();
        parent.show(SW_SHOWNOACTIVATE);
    }

    ParentWindow parent;
};

// Records every selection the palette reports.
class SelectionLog {
public:
    void onSelected(Window*, ColorPalette::ColorPaletteEventArgs& args) { indices.push_back(args.index); }
    std::vector<int> indices;
};

} // namespace

TEST_F(ColorControlsTest, TheFullestBinReachesTheTopAndTheOthersShowInProportion)
{
    std::unique_ptr<Entry> entry = ColorHistogram::compute(redAndBlue(90), Background, MeanLine);
    // No pixel has green: its bin 0 holds all 100 and is the fullest of all four channels.
    EXPECT_EQ(barHeight(entry->channels[Entry::Green], 0, RGB(0, 255, 0)), 100);
    const Dib& red = entry->channels[Entry::Red];
    EXPECT_EQ(barHeight(red, 255, RGB(255, 0, 0)), 90);
    EXPECT_EQ(barHeight(red, 0, RGB(255, 0, 0)), 10);
    EXPECT_EQ(drawn(red, 128, 50), Background) << "no pixel has that much red";
    const Dib& blue = entry->channels[Entry::Blue];
    EXPECT_EQ(barHeight(blue, 0, RGB(0, 0, 255)), 90);
    EXPECT_EQ(barHeight(blue, 255, RGB(0, 0, 255)), 10);
    // Red weighs 77 of 256 in the grey value, blue 28.
    const Dib& grey = entry->channels[Entry::Grey];
    EXPECT_EQ(barHeight(grey, 76, RGB(0, 0, 0)), 90);
    EXPECT_EQ(barHeight(grey, 27, RGB(0, 0, 0)), 10);
    // The mean of the red values is 229.5: its line runs to the top at column 229.
    EXPECT_EQ(drawn(red, 229, 0), MeanLine);
    EXPECT_EQ(drawn(red, 229, 99), MeanLine);
}

TEST_F(ColorControlsTest, AnEightBitPictureIsCountedAsItsColours)
{
    Dib picture;
    ASSERT_TRUE(picture.create(8, 8, 8, RGB(0, 0, 0)));
    PALETTEENTRY colours[256] = {};
    colours[0] = {0, 255, 0, 0};
    ASSERT_TRUE(picture.setColorTable(colours));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            setDibIndex(picture, x, y, 0);
    std::unique_ptr<Entry> entry = ColorHistogram::compute(picture, Background, MeanLine);
    EXPECT_EQ(barHeight(entry->channels[Entry::Green], 255, RGB(0, 255, 0)), 100);
    EXPECT_EQ(barHeight(entry->channels[Entry::Red], 0, RGB(255, 0, 0)), 100);

    expectCode(ERROR_INVALID_PARAMETER, [] { ColorHistogram::compute(Dib(), Background, MeanLine); });
}

TEST_F(ColorControlsTest, TheHistogramShowsTheChosenChannelInsideItsFrame)
{
    std::unique_ptr<Entry> entry = ColorHistogram::compute(redAndBlue(90), Background, MeanLine);
    ColorHistogram histogram;
    histogram.create(parent.getHandle(), 1, Rect(10, 10, 258, 102), 0, WS_VISIBLE);
    histogram.setFrame(RGB(0, 0, 0), ColorHistogram::AllEdges);
    histogram.setHistogram(ColorHistogram::ShowRed, entry.get());
    HWND window = histogram.getHandle();
    EXPECT_EQ(screenPixel(window, 0, 50), RGB(0, 0, 0)) << "left edge";
    EXPECT_EQ(screenPixel(window, 257, 101), RGB(0, 0, 0)) << "bottom right corner";
    EXPECT_EQ(screenPixel(window, 256, 95), RGB(255, 0, 0)) << "the red bar of value 255";
    EXPECT_EQ(screenPixel(window, 256, 5), Background) << "above that bar";
    EXPECT_EQ(screenPixel(window, 129, 50), Background);
    saveWindowScreenshot(parent.getHandle(), L"color_histogram");

    histogram.setHistogram(ColorHistogram::ShowBlue, entry.get());
    EXPECT_EQ(screenPixel(window, 1, 95), RGB(0, 0, 255)) << "the blue bar of value 255 (shown at the left)";
    EXPECT_EQ(SendMessageW(window, ColorHistogram::SetHistogramMessage, 0, 0), ColorHistogram::ShowBlue);
    histogram.destroy();
    expectCode(ERROR_INVALID_WINDOW_HANDLE, [&] { histogram.setHistogram(0, nullptr); });
}

TEST_F(ColorControlsTest, OnlyTheColoursInUseCanBeSelected)
{
    ColorPalette palette;
    palette.create(parent.getHandle(), 2, Rect(10, 10, 257, 257), 0, WS_VISIBLE);
    palette.subclass();
    SelectionLog log;
    palette.setEvent(setEvent(&log, &SelectionLog::onSelected));
    PALETTEENTRY colours[20];
    for (int k = 0; k < 20; ++k)
        colours[k] = {static_cast<BYTE>(k * 12), 128, static_cast<BYTE>(255 - k * 12), 0};
    palette.setColors(colours, 20);
    HWND window = palette.getHandle();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, ColorPalette::FirstCellId + 19)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, ColorPalette::FirstCellId + 20)));
    EXPECT_EQ(palette.getColor(19), RGB(228, 128, 27));
    expectCode(ERROR_INVALID_PARAMETER, [&] { palette.getColor(20); });

    palette.select(25);
    EXPECT_EQ(palette.getSelection(), -1) << "beyond the colours";
    palette.select(15);
    EXPECT_EQ(palette.getSelection(), 15);
    HWND cell15 = GetDlgItem(window, ColorPalette::FirstCellId + 15);
    EXPECT_EQ(SendMessageW(cell15, ColorPalette::PalettePanel::GetFrameEdgesMessage, 0, 0), ColorHistogram::AllEdges);
    EXPECT_EQ(SendMessageW(cell15, ColorPalette::PalettePanel::GetFrameColorMessage, 0, 0), RGB(255, 255, 255));
    SendMessageW(cell15, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(palette.getSelection(), 15) << "the end of the row";
    SendMessageW(cell15, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(palette.getSelection(), -1) << "below lies no colour in use";
    palette.select(3);
    SendMessageW(GetDlgItem(window, ColorPalette::FirstCellId + 3), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(palette.getSelection(), 19);
    EXPECT_EQ(SendMessageW(GetDlgItem(window, ColorPalette::FirstCellId + 3),
                           ColorPalette::PalettePanel::GetFrameEdgesMessage, 0, 0),
              ColorHistogram::LeftEdge | ColorHistogram::TopEdge)
        << "the previous cell loses its frame";
    ASSERT_FALSE(log.indices.empty());
    EXPECT_EQ(log.indices.back(), 19);

    palette.setCellSize(12, 12);
    RECT cell;
    GetWindowRect(GetDlgItem(window, ColorPalette::FirstCellId + 17), &cell);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&cell), 2);
    EXPECT_EQ(cell.left, 12);
    EXPECT_EQ(cell.top, 12);
    EXPECT_EQ(screenPixel(window, 12 + 6, 12 + 6), RGB(204, 128, 51)) << "colour 17 filled in";
    EXPECT_EQ(screenPixel(window, 12, 12 + 6), RGB(0, 0, 0)) << "grid line";
    saveWindowScreenshot(parent.getHandle(), L"color_palette");

    expectCode(ERROR_INVALID_PARAMETER, [&] { palette.setColors(colours, 0); });
    EXPECT_EQ(SendMessageW(window, ColorPalette::GetCountMessage, 0, 0), 0) << "emptied";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, ColorPalette::FirstCellId)));
    expectCode(ERROR_INVALID_PARAMETER, [&] { palette.setColors(nullptr, 5); });
}
