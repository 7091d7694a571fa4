#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <string>
#include <vector>
#include "conversion/Effect.h"
#include "conversion/EffectTable.h"
#include "foundation/wstringArray.h"
#include "imaging/PictureTooLarge.h"
#include "settings/AppSetting.h"
#include "support/ExpectCode.h"
#include "support/GlobalApplication.h"
#include "support/ImagingTestSupport.h"
#include "support/LentSettings.h"

namespace {

using Step = StepResult (*)(Gdiplus::Bitmap*&);

Gdiplus::Bitmap* flat(int width, int height, UINT32 colour)
{
    return makeBitmap32(width, height, [=](int, int) { return colour; });
}

// Each pixel tells where it came from: x in blue, y in green.
Gdiplus::Bitmap* numbered(int width, int height)
{
    return makeBitmap32(width, height, [](int x, int y) { return Black | y << 8 | x; });
}

UINT32 from(int x, int y)
{
    return Black | y << 8 | x;
}

// Every pixel its own colour, so that a picture moved or blended by a pixel is told apart.
Gdiplus::Bitmap* noisy(int width, int height)
{
    return makeBitmap32(width, height, [](int x, int y) {
        return Black | static_cast<UINT32>(x * 7919 + y * 104729) * 2654435761u >> 8;
    });
}

// The smallest rectangle holding every pixel that is not white.
RECT inkBox(Gdiplus::Bitmap* bitmap)
{
    RECT box = {INT_MAX, INT_MAX, -1, -1};
    for (int y = 0; y < static_cast<int>(bitmap->GetHeight()); ++y) {
        for (int x = 0; x < static_cast<int>(bitmap->GetWidth()); ++x) {
            if (pixelAt(bitmap, x, y) != White)
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
                       std::max<LONG>(box.bottom, y)};
        }
    }
    return box;
}

class EffectChainTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        setting.effectPosterization = 256;
    }

    static std::vector<std::wstring> keysInOrder()
    {
        CollectionStringToString keys;
        getEffectKeysInOrder(keys);
        std::vector<std::wstring> found;
        for (int i = 0; i < keys.count(); ++i)
            found.push_back(keys.valueAt(i).buffer());
        return found;
    }

    // Every step in the configured order, as the jobs run them.
    static BitmapPtr afterAllSteps(Gdiplus::Bitmap* bitmap)
    {
        CollectionStringToString keys;
        getEffectKeysInOrder(keys);
        for (int i = 0; i < keys.count(); ++i)
            EXPECT_NE(applyEffect(keys.valueAt(i).buffer(), bitmap, nullptr), StepFailed);
        return BitmapPtr(bitmap);
    }

    static BitmapPtr after(Step step, Gdiplus::Bitmap* bitmap)
    {
        EXPECT_EQ(step(bitmap), StepChanged);
        return BitmapPtr(bitmap);
    }

    // The step fails or does nothing, and the caller's picture is the one it was.
    static void expectKept(Step step, Gdiplus::Bitmap* bitmap, StepResult expected)
    {
        BitmapPtr owned(bitmap);
        Gdiplus::Bitmap* held = bitmap;
        EXPECT_EQ(step(held), expected);
        EXPECT_EQ(held, bitmap);
    }

    static void expectSize(const BitmapPtr& bitmap, UINT width, UINT height)
    {
        EXPECT_EQ(bitmap->GetWidth(), width);
        EXPECT_EQ(bitmap->GetHeight(), height);
    }

    GlobalApplication application;
    LentSettings lent;
    AppSetting& setting = lent.setting;
};

} // namespace

TEST_F(EffectChainTest, OrderWordsRunFirstOnceEachAndTheRestFollowInDefaultOrder)
{
    EXPECT_EQ(keysInOrder(), (std::vector<std::wstring>{L"effectTrimming", L"effectStretch", L"effectText",
                                                        L"effectRotate", L"effectConvert", L"effectAppearance"}));
    setting.orderFirst = L"text";
    setting.orderSecond = L"text";
    setting.orderForth = L"rotate";
    setting.orderFifth = L"bogus";
    EXPECT_EQ(keysInOrder(), (std::vector<std::wstring>{L"effectText", L"effectRotate", L"effectTrimming",
                                                        L"effectStretch", L"effectConvert", L"effectAppearance"}));
    // Words are exact: another case names no step.
    setting.orderFirst = L"Text";
    setting.orderSecond = L"appearance";
    setting.orderForth = L"";
    EXPECT_EQ(keysInOrder(), (std::vector<std::wstring>{L"effectAppearance", L"effectTrimming", L"effectStretch",
                                                        L"effectText", L"effectRotate", L"effectConvert"}));

    BitmapPtr picture(flat(2, 2, Red));
    Gdiplus::Bitmap* held = picture.get();
    expectCode(ERROR_INVALID_PARAMETER, [&] { applyEffect(L"effecttrimming", held, nullptr); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { applyEffect(L"trimming", held, nullptr); });
}

TEST_F(EffectChainTest, TheConfiguredOrderDecidesTheResult)
{
    setting.trimmingEnable = true;
    setting.trimmingLeft = 1;
    setting.rotateEnable = true;
    setting.rotateAssign = 0; // a quarter turn clockwise

    // Columns 1..2 kept, then turned: the top-left pixel is the one that was at the bottom-left.
    BitmapPtr trimmedFirst = afterAllSteps(numbered(3, 2));
    expectSize(trimmedFirst, 2, 2);
    EXPECT_EQ(pixelAt(trimmedFirst.get(), 0, 0), from(1, 1));

    setting.orderFirst = L"rotate";
    BitmapPtr turnedFirst = afterAllSteps(numbered(3, 2));
    expectSize(turnedFirst, 1, 3);
    EXPECT_EQ(pixelAt(turnedFirst.get(), 0, 0), from(0, 0));
}

TEST_F(EffectChainTest, TrimmingCutsMarginsAndRefusesToCutEverything)
{
    setting.trimmingEnable = true;
    expectKept(applyTrimming, numbered(10, 10), StepNothing);
    setting.trimmingLeft = 6;
    setting.trimmingRight = 4;
    expectKept(applyTrimming, numbered(10, 10), StepFailed);

    setting.trimmingLeft = 1;
    setting.trimmingTop = 2;
    setting.trimmingRight = 3;
    setting.trimmingBottom = 4;
    BitmapPtr trimmed = after(applyTrimming, numbered(10, 10));
    expectSize(trimmed, 6, 4);
    EXPECT_EQ(pixelAt(trimmed.get(), 0, 0), from(1, 2));

    // Percentages round halves to even: 50.5 of 101 -> 50, 2.5 of 5 -> 2, 1.5 of 5 -> 2.
    setting.trimmingUnit = 1;
    setting.trimmingLeftPer = Decimal(50);
    setting.trimmingTopPer = Decimal(50);
    setting.trimmingRightPer = Decimal(0);
    setting.trimmingBottomPer = Decimal(30);
    BitmapPtr byPercent = after(applyTrimming, numbered(101, 5));
    expectSize(byPercent, 51, 1);
    EXPECT_EQ(pixelAt(byPercent.get(), 0, 0), from(50, 2));
}

TEST_F(EffectChainTest, AutoScanWithoutLeftAndTopTakesTheBottomRightColour)
{
    // Red at the top-left corner, a blue border of 2 at the right and bottom, green elsewhere.
    auto bordered = [] {
        return makeBitmap32(10, 10, [](int x, int y) { return x >= 8 || y >= 8 ? Blue : x + y == 0 ? Red : Green; });
    };
    setting.trimmingEnable = true;
    setting.trimmingAutoScan = true;
    setting.trimmingScanRight = true;
    setting.trimmingScanBottom = true;
    expectSize(after(applyTrimming, bordered()), 8, 8);

    setting.trimmingSpace = 1;
    BitmapPtr spaced = after(applyTrimming, bordered());
    expectSize(spaced, 9, 9);
    EXPECT_EQ(pixelAt(spaced.get(), 8, 8), Blue);
}

TEST_F(EffectChainTest, ResizeSettlesTheProportionsByTheReferenceSide)
{
    setting.resizeEnable = true;
    setting.resizeStretch = true;
    setting.resizeInterpolation = 1;
    setting.resizeAdjust = 1;
    setting.resizeOrientation = 2;
    setting.resizeWidth = 200;
    expectSize(after(applyStretch, flat(400, 300, Red)), 200, 150);
    setting.resizeOrientation = 1;
    setting.resizeHeight = 100;
    expectSize(after(applyStretch, flat(400, 300, Red)), 133, 100);
    setting.resizeAdjust = 3;
    setting.resizeOrientation = 0;
    expectSize(after(applyStretch, flat(400, 300, Red)), 200, 320);

    // Scaled through a Dib the picture comes out opaque.
    setting.resizeAdjust = 0;
    setting.resizeInterpolation = 0;
    BitmapPtr throughDib = after(applyStretch, flat(4, 4, 0x80FF0000));
    expectSize(throughDib, 200, 100);
    EXPECT_EQ(pixelAt(throughDib.get(), 3, 3) >> 24, 0xFFu);

    setting.resizeAdjust = 6;
    BitmapPtr picture(flat(4, 4, Red));
    Gdiplus::Bitmap* held = picture.get();
    expectCode(ERROR_INVALID_FUNCTION, [&] { applyStretch(held); });
}

TEST_F(EffectChainTest, UnscaledPictureIsAnchoredOrTiledOnTheCanvas)
{
    setting.resizeEnable = true;
    setting.resizeWidth = 5;
    setting.resizeHeight = 5;
    setting.resizeBackColor = RGB(0, 255, 0);
    setting.resizeRenderPosition = 8; // bottom-right
    BitmapPtr anchored = after(applyStretch, numbered(2, 2));
    EXPECT_EQ(pixelAt(anchored.get(), 0, 0), Green);
    EXPECT_EQ(pixelAt(anchored.get(), 3, 3), from(0, 0));
    EXPECT_EQ(pixelAt(anchored.get(), 4, 4), from(1, 1));

    // Every tile, the first too, is the picture drawn once over the background, as at the top-left anchor: a
    // half-transparent picture drawn twice would show it.
    auto halfClear = [] { return makeBitmap32(3, 2, [](int x, int y) { return 0x80FF0000u | y << 8 | x; }); };
    setting.resizeWidth = 7;
    setting.resizeRenderPosition = 0;
    BitmapPtr once = after(applyStretch, halfClear());
    setting.resizeRenderPosition = 9;
    BitmapPtr tiled = after(applyStretch, halfClear());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(pixelAt(tiled.get(), x, y), pixelAt(once.get(), x % 3, y % 2)) << x << ", " << y;
    }
}

TEST_F(EffectChainTest, TextBoxAtTheMiddlePositionIsCentred)
{
    setting.textEnable = true;
    setting.textFontFace = L"Liberation Sans";
    setting.textFontSize = 12;
    setting.textColorAlpha = 255;
    setting.textNoBackColor = false; // the box's opaque background shows where the box lies
    setting.textPosition = 4;
    expectKept(applyText, flat(120, 80, White), StepNothing);

    setting.textText = L"Abc";
    RECT box = inkBox(after(applyText, flat(120, 80, White)).get());
    ASSERT_LT(box.left, box.right);
    EXPECT_NEAR(box.left, 119 - box.right, 1);
    EXPECT_NEAR(box.top, 79 - box.bottom, 1);

    // GDI+ makes no fonts of vertical "@" faces; the step lays such text out downward instead of failing.
    setting.textFontFace = L"@Liberation Sans";
    after(applyText, flat(120, 80, White));
}

TEST_F(EffectChainTest, RotationTurnsOrSlants)
{
    setting.rotateEnable = true;
    setting.rotateAssign = 1;
    EXPECT_EQ(pixelAt(after(applyRotate, numbered(3, 2)).get(), 0, 0), from(2, 1));

    setting.rotateAssign = 4;
    setting.rotateAngleH = Decimal(30); // 10 + 10 x tan 30 degrees wide
    expectSize(after(applyRotate, flat(10, 10, Red)), 15, 10);
    setting.rotateAngleV = Decimal(90); // outside the slant's range
    expectKept(applyRotate, flat(10, 10, Red), StepFailed);
}

TEST_F(EffectChainTest, FreeRotationByRightAnglesGivesTheQuarterTurns)
{
    setting.rotateEnable = true;
    setting.rotateAssignAngleColor = RGB(0, 255, 0); // shows wherever the picture misses the canvas
    const std::pair<double, int> cases[] = {{90, 0}, {180, 1}, {270, 2}, {-90, 2}};
    for (auto [angle, assign] : cases) {
        SCOPED_TRACE(angle);
        setting.rotateAssign = assign;
        BitmapPtr turned = after(applyRotate, noisy(7, 4));
        setting.rotateAssign = 3;
        setting.rotateAssignAngle = Decimal(angle);
        BitmapPtr free = after(applyRotate, noisy(7, 4));
        expectSize(free, turned->GetWidth(), turned->GetHeight());
        EXPECT_EQ(pixelsOf(free.get()), pixelsOf(turned.get()));
    }
}

// Each of these would have asked for gigabytes; the step refuses before it makes anything and leaves the picture.
TEST_F(EffectChainTest, StepsThatWouldOutgrowTheSizeLimitThrowAndKeepThePicture)
{
    auto refusedSize = [](Step step, Gdiplus::Bitmap* bitmap) {
        BitmapPtr owned(bitmap);
        Gdiplus::Bitmap* held = bitmap;
        std::pair<double, double> size;
        try {
            step(held);
            ADD_FAILURE() << "no exception";
        } catch (const PictureTooLarge& refused) {
            size = {refused.getWidth(), refused.getHeight()};
        }
        EXPECT_EQ(held, bitmap);
        return size;
    };
    setting.rotateEnable = true;
    setting.rotateAssign = 4;
    setting.rotateAngleH = Decimal(89.99);
    EXPECT_EQ(refusedSize(applyRotate, flat(9999, 800, Red)), std::pair(9999.0 + 4583662, 800.0));
    setting.rotateAngleH = Decimal(0);
    setting.rotateAngleV = Decimal(-89.99);
    EXPECT_EQ(refusedSize(applyRotate, flat(200, 200, Red)), std::pair(200.0, 200.0 + 1145915));
    setting.rotateAssign = 3;
    setting.rotateAssignAngle = Decimal(45);
    EXPECT_EQ(refusedSize(applyRotate, flat(100000, 1, Red)), std::pair(70711.0, 70711.0));
    setting.rotateEnable = false;

    // Keeping the proportions of a thin strip, scaled or on a canvas.
    setting.resizeEnable = true;
    setting.resizeAdjust = 1;
    setting.resizeOrientation = 0;
    setting.resizeWidth = 9999;
    for (bool stretch : {true, false}) {
        setting.resizeStretch = stretch;
        EXPECT_EQ(refusedSize(applyStretch, flat(1, 1000000, Red)), std::pair(9999.0, 9999000000.0));
    }
    setting.resizeEnable = false;

    setting.textEnable = true;
    setting.textFontFace = L"Liberation Sans";
    setting.textFontSize = 255;
    setting.textText = std::wstring(2000, L'W').c_str();
    EXPECT_GT(refusedSize(applyText, flat(10, 10, White)).first, 500000);
    setting.textEnable = false;

    setting.appearanceEnable = true;
    setting.appearanceRgnType = 2;
    setting.appearanceFrameWidth = 999;
    EXPECT_EQ(refusedSize(applyAppearance, flat(1, 140000, Blue)), std::pair(1999.0, 140000.0));
}

TEST_F(EffectChainTest, ColourConversionRunsPresetThenBrightnessThenPosterization)
{
    expectKept([](Gdiplus::Bitmap*& bitmap) { return applyConvert(bitmap, nullptr); }, flat(2, 2, Red), StepNothing);
    setting.effectEnable = true;
    expectKept([](Gdiplus::Bitmap*& bitmap) { return applyConvert(bitmap, nullptr); }, flat(2, 2, Red), StepNothing);
    expectKept([](Gdiplus::Bitmap*& bitmap) { return applyColorFilter(bitmap, 0, -3, 256, nullptr); },
               flat(2, 2, Red), StepNothing);

    auto converted = [&](int bright, EffectPreset preset, int levels) {
        setting.effectBright = bright;
        setting.effectFilter = preset;
        setting.effectPosterization = levels;
        Gdiplus::Bitmap* picture = flat(2, 2, 0xFF0A141E); // (10, 20, 30)
        EXPECT_EQ(applyConvert(picture, nullptr), StepChanged);
        return pixelAt(BitmapPtr(picture).get(), 1, 1);
    };
    EXPECT_EQ(converted(0, 27, 256), 0xFF0A0000u); // red only
    EXPECT_EQ(converted(20, 0, 256), 0xFF1E2832u); // +20 each
    EXPECT_EQ(converted(0, 40, 256), 0xFF1E140Au); // the last preset: red and blue swapped
    EXPECT_EQ(converted(120, 27, 2), 0xFFFF0000u); // (130, 120, 120) in two levels
}

TEST_F(EffectChainTest, AFailingPresetEndsTheStep)
{
    class Failing : public ImageConvert::ImageConverter {
    public:
        Gdiplus::Bitmap* convert(Gdiplus::Bitmap*, ICanceller*) override { return nullptr; }
    } failing;
    buildEffectTable();
    ImageConvert::ImageConverter* kept = effectPresetConverter(34);
    ASSERT_TRUE(setEffect(34, &failing));
    BitmapPtr picture(flat(2, 2, 0xFF0A141E));
    Gdiplus::Bitmap* held = picture.get();
    StepResult result = applyColorFilter(held, 50, 34, 2, nullptr);
    setEffect(34, kept);
    EXPECT_EQ(result, StepFailed);
    EXPECT_EQ(held, picture.get());
    EXPECT_EQ(pixelAt(held, 0, 0), 0xFF0A141Eu); // neither brightened nor posterized
}

TEST_F(EffectChainTest, AppearanceFramesOrPaintsOutsideTheShape)
{
    setting.appearanceEnable = true;
    setting.appearanceBackColor = RGB(255, 0, 0);
    setting.appearanceRgnType = 2;
    setting.appearanceFrameWidth = 10;
    setting.appearanceFrameHeight = 5;
    BitmapPtr framed = after(applyAppearance, flat(100, 100, Blue));
    expectSize(framed, 120, 110);
    EXPECT_EQ(pixelAt(framed.get(), 9, 4), Red);
    EXPECT_EQ(pixelAt(framed.get(), 10, 5), Blue);
    EXPECT_EQ(pixelAt(framed.get(), 109, 104), Blue);
    EXPECT_EQ(pixelAt(framed.get(), 110, 105), Red);

    setting.appearanceRgnType = 1;
    BitmapPtr circled = after(applyAppearance, flat(100, 50, Blue));
    EXPECT_EQ(pixelAt(circled.get(), 10, 25), Red);
    EXPECT_EQ(pixelAt(circled.get(), 26, 1), Red);
    EXPECT_EQ(pixelAt(circled.get(), 28, 25), Blue);

    setting.appearanceRgnType = 0;
    setting.appearanceEllipseWidth = 20;
    setting.appearanceEllipseHeight = 20;
    BitmapPtr rounded = after(applyAppearance, flat(40, 40, Blue));
    EXPECT_EQ(pixelAt(rounded.get(), 0, 0), Red);
    EXPECT_EQ(pixelAt(rounded.get(), 39, 39), Red);
    EXPECT_EQ(pixelAt(rounded.get(), 20, 0), Blue);

    setting.appearanceRgnType = 3;
    expectKept(applyAppearance, flat(4, 4, Blue), StepFailed);
}
