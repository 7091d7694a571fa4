#include <gtest/gtest.h>
#include "imaging/Dib.h"
#include "support/ExpectCode.h"
#include "toolkit/ImageListGenerator.h"

namespace {

constexpr int Size = 8;
constexpr COLORREF Backdrop = RGB(1, 2, 3);

// Image i of the list drawn on the backdrop: the colour at (x, y).
COLORREF drawnPixel(HIMAGELIST list, int image, int x, int y)
{
    Dib canvas;
    canvas.create(Size, Size, 24, Backdrop);
    ImageList_Draw(list, image, canvas.getDC(), 0, 0, ILD_NORMAL);
    COLORREF color = GetPixel(canvas.getDC(), x, y);
    canvas.releaseDC();
    canvas.releaseDC();
    return color;
}

class ImageListGeneratorTest : public testing::Test {
protected:
    HMODULE module = GetModuleHandleW(nullptr);
    ImageList normal;
    ImageList disabled;
};

TEST_F(ImageListGeneratorTest, CellsAndIconsGoIntoBothListsInOrder)
{
    ImageListGenerator generator(Size);
    generator.addBitmapStrip(module, L"STRIP", {2, 0});
    generator.addIcon(module, L"YELLOW");
    generator.generate(normal, disabled);
    ASSERT_NE(normal.handle(), nullptr);
    ASSERT_NE(disabled.handle(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(normal.handle()), 3);
    EXPECT_EQ(ImageList_GetImageCount(disabled.handle()), 3);

    EXPECT_EQ(drawnPixel(normal.handle(), 0, 4, 4), RGB(0, 0, 255));
    EXPECT_EQ(drawnPixel(normal.handle(), 0, 0, 0), Backdrop) << "the top-left colour is the mask";
    EXPECT_EQ(drawnPixel(normal.handle(), 1, 4, 4), RGB(255, 0, 0));
    EXPECT_EQ(drawnPixel(normal.handle(), 2, 4, 4), RGB(255, 255, 0));
    // Disabled: the average of the channels, halfway to white.
    EXPECT_EQ(drawnPixel(disabled.handle(), 0, 4, 4), RGB(170, 170, 170));
    EXPECT_EQ(drawnPixel(disabled.handle(), 1, 4, 4), RGB(170, 170, 170));
    EXPECT_EQ(drawnPixel(disabled.handle(), 1, 0, 0), Backdrop);
    EXPECT_EQ(drawnPixel(disabled.handle(), 2, 4, 4), RGB(213, 213, 213));
}

TEST_F(ImageListGeneratorTest, FailuresLeaveBothHoldersEmpty)
{
    ImageListGenerator generator(Size);
    expectCode(ErrorCode::InvalidArgument, [&] { generator.addBitmapStrip(module, L"STRIP", {}); });
    expectCode(ErrorCode::InvalidArgument, [&] { generator.generate(normal, normal); });

    generator.addBitmapStrip(module, MAKEINTRESOURCEW(999), {0});
    normal.attach(ImageList_Create(Size, Size, ILC_COLOR32, 1, 1));
    disabled.attach(ImageList_Create(Size, Size, ILC_COLOR32, 1, 1));
    EXPECT_NE(thrownCode([&] { generator.generate(normal, disabled); }), -1);
    EXPECT_EQ(normal.handle(), nullptr);
    EXPECT_EQ(disabled.handle(), nullptr);

    ImageListGenerator icons(Size);
    icons.addIcon(module, L"MISSING");
    EXPECT_NE(thrownCode([&] { icons.generate(normal, disabled); }), -1);
    EXPECT_EQ(normal.handle(), nullptr);
}

} // namespace
