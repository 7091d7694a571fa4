#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "SaverTesting.h"
#include "foundation/MemoryStream.h"
#include "foundation/ResourceUpdater.h"
#include "screensaver/SaverWindow.h"

namespace {

// Which colour a picture is below its white band: 'r', 'g' or 'b'.
char colourOf(const Picture& picture)
{
    const BYTE* pixel = picture.row(picture.height() * 3 / 4) + picture.width() / 2 * Picture::BytesPerPixel;
    return pixel[2] > 150 ? 'r' : pixel[1] > 150 ? 'g' : pixel[0] > 150 ? 'b' : '?';
}

// Ticks until the next picture is due and once more: the colour of the picture that tick loaded, '-' for none.
char nextPicture(SaverWindow& saver)
{
    while (!saver.getFade().needsPicture())
        saver.tick();
    saver.tick();
    return saver.getFade().needsPicture() ? '-' : colourOf(saver.getPictures().getSource());
}

const Gdiplus::Color red(255, 230, 20, 20);
const Gdiplus::Color green(255, 20, 200, 20);
const Gdiplus::Color blue(255, 20, 20, 230);

class SaverWindowTest : public SaverTest {};

} // namespace

TEST_F(SaverWindowTest, EveryPassShowsEachPictureThatLoadsAndPassesOverTheOthers)
{
    std::wstring file = saverOf(L"damaged.scr", {{SIZE{64, 48}, red}, {SIZE{64, 48}, green}, {SIZE{64, 48}, blue}});
    {
        // The second picture damaged, and a fourth counted that is not there.
        ResourceUpdater updater;
        updater.begin(file.c_str());
        InputMemoryStream junk;
        junk.open("\xFF\xD8\xFF no picture follows", 22);
        updater.update(L"PICTURES0", MAKEINTRESOURCEW(2), &junk);
        ScreenSaverBuilder::writePictureCount(updater, 4);
    }
    SaverFileContents contents(file);
    HostWindow host(320, 240);
    SaverWindow saver(host.get(), contents.get());
    ASSERT_TRUE(saver.create());
    for (int pass = 0; pass < 3; ++pass) {
        std::string shown{nextPicture(saver), nextPicture(saver), nextPicture(saver), nextPicture(saver)};
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, "--br") << pass;
    }

    // The player as shipped counts no pictures: it shows the desktop alone.
    SaverFileContents player(builtPlayer());
    SaverWindow empty(host.get(), player.get());
    ASSERT_TRUE(empty.create());
    EXPECT_EQ(nextPicture(empty), '-');
    EXPECT_FALSE(empty.showsPicture());
}

TEST_F(SaverWindowTest, PicturesComeUprightAtTheirSizeAndShrinkInThePreview)
{
    SaverFileContents contents(saverOf(L"upright.scr", {{SIZE{400, 300}, red}}));
    HostWindow full(640, 480);
    SaverWindow saver(full.get(), contents.get());
    ASSERT_TRUE(saver.create());
    ASSERT_EQ(nextPicture(saver), 'r');
    const Picture& source = saver.getPictures().getSource();
    EXPECT_EQ(source.width() * 1000 + source.height(), 400 * 1000 + 300);
    const BYTE* band = source.row(10) + 200 * 3;
    EXPECT_GT(band[0] + band[1] + band[2], 700) << "the white band belongs at the top";
    RECT shown = saver.pictureRect();
    EXPECT_TRUE(shown.left >= 0 && shown.right <= 640 && shown.right - shown.left == 400);

    // The display settings' preview is a child window.
    HostWindow settings(400, 300);
    HostWindow preview(152, 112, settings.get());
    SaverWindow small(preview.get(), contents.get());
    ASSERT_TRUE(small.create());
    double scale = 112.0 / GetSystemMetrics(SM_CYSCREEN);
    EXPECT_DOUBLE_EQ(small.getPreviewScale(), scale);
    ASSERT_EQ(nextPicture(small), 'r');
    EXPECT_EQ(small.getPictures().getSource().width(), static_cast<int>(400 * scale));
}

TEST(FadePictureTest, OnlyThePartOfAPictureOnTheScreenIsMixedWithTheBackgroundBehindIt)
{
    Picture snapshot;
    ASSERT_TRUE(snapshot.createBlank(100, 80));
    for (int y = 0; y < 80; ++y)
        FillMemory(snapshot.row(y), 100 * 3, y < 40 ? 255 : 128);
    FadePicture pictures;
    ASSERT_TRUE(pictures.setBackground(snapshot, 100, 80));
    Picture black;
    ASSERT_TRUE(black.createBlank(40, 30));
    ASSERT_TRUE(pictures.setSource(black));
    const Picture& frame = pictures.getFrame();

    // Over the left edge: rows 0-9 in front of white, the rest in front of grey; columns 0-9 off the screen.
    pictures.blendFrame(-10, 30, 255);
    EXPECT_EQ(frame.row(0)[0] + frame.row(29)[9 * 3 + 2], 0);
    EXPECT_GE(frame.row(0)[10 * 3], 254);
    EXPECT_GE(frame.row(9)[39 * 3 + 1], 254);
    EXPECT_NEAR(frame.row(10)[10 * 3], 128, 1);
    EXPECT_NEAR(frame.row(29)[39 * 3 + 2], 128, 1);

    // Over the bottom right corner, and wholly off the screen.
    ASSERT_TRUE(pictures.setSource(black));
    pictures.blendFrame(90, 70, 255);
    EXPECT_NEAR(frame.row(9)[9 * 3], 128, 1);
    EXPECT_EQ(frame.row(10)[0] + frame.row(0)[10 * 3], 0);
    pictures.blendFrame(500, -500, 255);
    pictures.blendFrame(-40, 0, 255);
}
