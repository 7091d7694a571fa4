#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

TEST_F(PageTest, AppearanceEnablesOnlyTheSizesOfTheChosenShapeAndAFrameWidthStopsAt999)
{
    constexpr int AppearanceTab = 5;
    const std::initializer_list<int> ellipse{IDC_ELLIPSE_WIDTH_LABEL, IDC_ELLIPSE_WIDTH, IDC_ELLIPSE_HEIGHT};
    const std::initializer_list<int> frame{IDC_FRAME_WIDTH_LABEL, IDC_FRAME_WIDTH, IDC_FRAME_HEIGHT};
    setting.appearanceBackColor = RGB(10, 20, 30);
    setting.appearanceRgnType = 1;
    setting.appearanceEllipseWidth = 12;
    std::wstring typedTooMuch;
    bool applyLitAfterCancelledColour = true;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, AppearanceTab);
        HWND sheet = GetParent(page);
        EXPECT_TRUE(enabledAre(page, {IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE}, false)) << "switched off";
        click(page, IDC_ENABLE);
        EXPECT_EQ(swatchColor(page, IDC_BACK_COLOR_SWATCH), RGB(10, 20, 30));
        EXPECT_EQ(itemCount(page, IDC_SHAPE), 3);
        EXPECT_EQ(fieldText(page, IDC_ELLIPSE_WIDTH), L"12");
        EXPECT_TRUE(enabledAre(page, ellipse, false) && enabledAre(page, frame, false)) << "a circle";
        user.screenshot(sheet, L"appearance_page");
        choose(page, IDC_SHAPE, 0);
        EXPECT_TRUE(enabledAre(page, ellipse, true) && enabledAre(page, frame, false)) << "an ellipse";
        typeNumber(user, page, IDC_ELLIPSE_HEIGHT, L"9999");
        choose(page, IDC_SHAPE, 2);
        EXPECT_TRUE(enabledAre(page, ellipse, false) && enabledAre(page, frame, true)) << "a frame";
        typeNumber(user, page, IDC_FRAME_WIDTH, L"1000");
        typedTooMuch = fieldText(page, IDC_FRAME_WIDTH);
        typeNumber(user, page, IDC_FRAME_WIDTH, L"999");

        user.press(sheet, ApplyButtonId);
        user.waitUntil([&] { return !isEnabled(sheet, ApplyButtonId); }, L"the apply");
        user.press(page, IDC_CHOOSE_COLOR);
        HWND colours = user.waitForWindow(WindowQuery::ownedBy(sheet));
        user.press(colours, IDCANCEL);
        user.waitUntilGone(colours);
        applyLitAfterCancelledColour = isEnabled(sheet, ApplyButtonId);
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(typedTooMuch, L"100") << "the field takes three digits";
    EXPECT_FALSE(applyLitAfterCancelledColour) << "a cancelled colour dialog changes nothing";
    EXPECT_TRUE(setting.appearanceEnable);
    EXPECT_EQ(setting.appearanceRgnType, 2);
    EXPECT_EQ(setting.appearanceFrameWidth, 999);
    EXPECT_EQ(setting.appearanceEllipseHeight, 9999);
    EXPECT_EQ(setting.appearanceBackColor, RGB(10, 20, 30));
}
