#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include "conversion/Text.h"
#include "support/ImagingTestSupport.h"
#include "toolkit/Font.h"

namespace {


// Bounding box of the pixels that are no longer white; right and bottom exclusive.
struct Ink {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = 0;
    int bottom = 0;
    int count = 0;
    int darkest = 255; // lowest colour byte of a changed pixel
};

Ink inkOf(Gdiplus::Bitmap* bitmap)
{
    Ink ink;
    for (int y = 0; y < static_cast<int>(bitmap->GetHeight()); ++y)
        for (int x = 0; x < static_cast<int>(bitmap->GetWidth()); ++x) {
            UINT32 pixel = pixelAt(bitmap, x, y);
            if (pixel == White)
                continue;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
            ++ink.count;
            ink.darkest = std::min({ink.darkest, int(pixel & 0xFF), int(pixel >> 8 & 0xFF), int(pixel >> 16 & 0xFF)});
        }
    return ink;
}

Gdiplus::Bitmap* whitePicture(int width, int height)
{
    return makeBitmap32(width, height, [](int, int) { return White; });
}

void describe(Text& text, const wchar_t* words, const wchar_t* face, int size)
{
    text = words;
    text.setFontFace(face);
    text.setFontSize(size);
}

class TextOverlay : public GdiplusTest {};

} // namespace

TEST_F(TextOverlay, MakesTheFontAgainOnlyForFontProperties)
{
    Text text;
    describe(text, L"Ab", L"MS Gothic", 12);
    EXPECT_EQ(text.fontName(), L"MS Gothic");
    BitmapPtr picture(whitePicture(200, 100));
    Gdiplus::RectF normal;
    ASSERT_TRUE(text.measure(picture.get(), nullptr, normal));
    EXPECT_FALSE(text.isFontDirty());

    text.setColor(RGB(255, 0, 0));
    text.setBackColor(RGB(0, 0, 255));
    text.setNoBackColor(false);
    EXPECT_FALSE(text.isFontDirty());

    text.setFontSize(24);
    EXPECT_TRUE(text.isFontDirty());
    Gdiplus::RectF large;
    ASSERT_TRUE(text.measure(picture.get(), nullptr, large));
    EXPECT_EQ(large.X, 0);
    EXPECT_EQ(large.Y, 0);
    EXPECT_NEAR(large.Height, 2 * normal.Height, 3);
}

TEST_F(TextOverlay, DrawsWhereTheFormatPlacesTheMeasuredBox)
{
    const Gdiplus::RectF layout(20, 10, 160, 80);
    const Gdiplus::StringAlignment sides[] = {Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentCenter,
                                              Gdiplus::StringAlignmentFar};
    // "メイリオ" is not installed: the platform's replacement draws it.
    const wchar_t* faces[] = {L"MS Gothic", L"ＭＳ ゴシック", L"メイリオ"};
    for (int i = 0; i < 3; ++i) {
        const wchar_t* face = faces[i];
        SCOPED_TRACE(testing::Message() << "face " << i);
        Text text;
        describe(text, L"Ab", face, 20);
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap);
        BitmapPtr measuring(whitePicture(1, 1));
        Gdiplus::RectF box;
        ASSERT_TRUE(text.measure(measuring.get(), &format, box));
        ASSERT_GT(box.Width, 10);
        ASSERT_GT(box.Height, 10);

        // At the top left the ink lies inside the measured box, within the font's side padding.
        BitmapPtr nearest(whitePicture(200, 100));
        ASSERT_TRUE(text.draw(nearest.get(), &format, 255, layout));
        Ink reference = inkOf(nearest.get());
        ASSERT_GT(reference.count, 0);
        EXPECT_GE(reference.left, 20);
        EXPECT_GE(reference.top, 10);
        EXPECT_LE(reference.right, 20 + box.Width + 1);
        EXPECT_LE(reference.bottom, 10 + box.Height + 1);
        EXPECT_LT(reference.left - 20, box.Height / 2);

        for (int horizontal = 0; horizontal < 3; ++horizontal)
            for (int vertical = 0; vertical < 3; ++vertical) {
                format.SetAlignment(sides[horizontal]);
                format.SetLineAlignment(sides[vertical]);
                BitmapPtr picture(whitePicture(200, 100));
                ASSERT_TRUE(text.draw(picture.get(), &format, 255, layout));
                Ink ink = inkOf(picture.get());
                float boxX = layout.X + (layout.Width - box.Width) * horizontal / 2;
                float boxY = layout.Y + (layout.Height - box.Height) * vertical / 2;
                EXPECT_NEAR(ink.left - boxX, reference.left - layout.X, 1.5) << horizontal << "," << vertical;
                EXPECT_NEAR(ink.top - boxY, reference.top - layout.Y, 1.5) << horizontal << "," << vertical;
                EXPECT_NEAR(ink.right - ink.left, reference.right - reference.left, 1);
                EXPECT_NEAR(ink.bottom - ink.top, reference.bottom - reference.top, 1);
            }
    }
}

TEST_F(TextOverlay, WindowsLineEndsBreakTheLinesAsLineFeedsDo)
{
    Ink inks[2];
    for (int i = 0; i < 2; ++i) {
        Text text;
        describe(text, i == 0 ? L"Ab\nCd" : L"Ab\r\nCd", L"MS Gothic", 16);
        BitmapPtr picture(whitePicture(200, 100));
        Gdiplus::RectF box;
        ASSERT_TRUE(text.measure(picture.get(), nullptr, box));
        ASSERT_TRUE(text.draw(picture.get(), nullptr, 255, box));
        inks[i] = inkOf(picture.get());
    }
    EXPECT_EQ(inks[1].right, inks[0].right) << "no mark in place of the carriage return";
    EXPECT_EQ(inks[1].count, inks[0].count);
    EXPECT_GT(inks[0].bottom - inks[0].top, 20) << "two lines";
}

TEST_F(TextOverlay, PaintsTheBackgroundOverTheWholeRectangle)
{
    Text text;
    describe(text, L"   ", L"MS Gothic", 12);
    text.setNoBackColor(false);
    text.setBackColor(RGB(0, 0, 255));
    BitmapPtr picture(whitePicture(80, 60));
    ASSERT_TRUE(text.draw(picture.get(), nullptr, 255, Gdiplus::RectF(30, 20, 40, 25)));
    Ink ink = inkOf(picture.get());
    EXPECT_EQ(ink.left, 30);
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.right, 70);
    EXPECT_EQ(ink.bottom, 45);
    EXPECT_EQ(ink.count, 40 * 25);
    EXPECT_EQ(pixelAt(picture.get(), 30, 20), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(picture.get(), 69, 44), 0xFF0000FFu);

}

TEST_F(TextOverlay, TakesTheTextColourWithTheAlpha)
{
    Text text;
    describe(text, L"■", L"MS Gothic", 24);
    text.setColor(RGB(255, 0, 0));
    BitmapPtr red(whitePicture(60, 50));
    ASSERT_TRUE(text.draw(red.get(), nullptr, 255, Gdiplus::RectF(0, 0, 60, 50)));
    Ink ink = inkOf(red.get());
    ASSERT_GT(ink.count, 0);
    int solid = 0;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) {
            UINT32 pixel = pixelAt(red.get(), x, y);
            ASSERT_EQ(pixel & 0xFFFF0000u, 0xFFFF0000u) << x << "," << y; // red over white keeps red and alpha
            solid += pixel == 0xFFFF0000u;
        }
    EXPECT_GT(solid, 0);

    // Half-transparent black over white comes out grey at its darkest.
    text.setColor(RGB(0, 0, 0));
    BitmapPtr grey(whitePicture(60, 50));
    ASSERT_TRUE(text.draw(grey.get(), nullptr, 128, Gdiplus::RectF(0, 0, 60, 50)));
    EXPECT_NEAR(inkOf(grey.get()).darkest, 127, 2);

    BitmapPtr unseen(whitePicture(60, 50));
    ASSERT_TRUE(text.draw(unseen.get(), nullptr, 0, Gdiplus::RectF(0, 0, 60, 50)));
    EXPECT_EQ(inkOf(unseen.get()).count, 0);
}

TEST_F(TextOverlay, VerticalFaceFailsCleanlyWhereTheFontCannotBeMade)
{
    Text text;
    describe(text, L"縦書き", L"@MS Gothic", 16);
    Gdiplus::StringFormat vertical(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsDirectionVertical);
    BitmapPtr picture(whitePicture(100, 100));
    Gdiplus::RectF box;
    if (text.measure(picture.get(), &vertical, box)) {
        EXPECT_GT(box.Height, box.Width);
        EXPECT_TRUE(text.draw(picture.get(), &vertical, 255, Gdiplus::RectF(0, 0, 100, 100)));
    } else {
        // Wine's GDI+ knows no "@" families.
        EXPECT_EQ(box.Width, 0);
        EXPECT_FALSE(text.draw(picture.get(), &vertical, 255, Gdiplus::RectF(0, 0, 100, 100)));
        EXPECT_EQ(inkOf(picture.get()).count, 0);
    }

    // The same text works again with a face that the platform has.
    text.setFontFace(L"MS Gothic");
    EXPECT_TRUE(text.measure(picture.get(), &vertical, box));
    EXPECT_TRUE(text.draw(picture.get(), &vertical, 255, Gdiplus::RectF(0, 0, 100, 100)));
    EXPECT_GT(inkOf(picture.get()).count, 0);
}

TEST_F(TextOverlay, RefusesWhatItCannotDrawOn)
{
    Text text;
    describe(text, L"Ab", L"MS Gothic", 12);
    Gdiplus::RectF box(1, 2, 3, 4);
    SetLastError(0);
    EXPECT_FALSE(text.measure(nullptr, nullptr, box));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(box.Width, 0);
    EXPECT_FALSE(text.draw(nullptr, nullptr, 255, Gdiplus::RectF(0, 0, 10, 10)));
}
