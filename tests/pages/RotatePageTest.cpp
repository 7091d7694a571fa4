#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int RotateTab = 3;

using RotatePageTest = PageTest;

} // namespace

TEST_F(RotatePageTest, EachTurnEnablesOnlyItsOwnGroupAndEachGroupShowsItsOwnColour)
{
    setting.rotateEnable = true;
    setting.rotateAssign = 0;
    setting.rotateAssignAngleColor = RGB(200, 0, 0);
    setting.rotateSlopeColor = RGB(0, 0, 200);
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, RotateTab);
        EXPECT_TRUE(isChecked(page, IDC_ROTATE_90));
        EXPECT_FALSE(isEnabled(page, IDC_ANGLE) || isEnabled(page, IDC_ANGLE_CHOOSE) || isEnabled(page, IDC_SKEW_H) ||
                     isEnabled(page, IDC_SKEW_TRANSPARENT));
        EXPECT_EQ(swatchColor(page, IDC_ANGLE_SWATCH), RGB(200, 0, 0));
        EXPECT_EQ(swatchColor(page, IDC_SKEW_SWATCH), RGB(0, 0, 200));
        click(page, IDC_ROTATE_ANGLE);
        EXPECT_TRUE(isEnabled(page, IDC_ANGLE) && isEnabled(page, IDC_ANGLE_SWATCH) &&
                    isEnabled(page, IDC_ANGLE_TRANSPARENT));
        EXPECT_FALSE(isEnabled(page, IDC_SKEW_V) || isEnabled(page, IDC_SKEW_CHOOSE));
        click(page, IDC_ROTATE_SKEW);
        EXPECT_TRUE(isEnabled(page, IDC_SKEW_V) && isEnabled(page, IDC_SKEW_CHOOSE));
        EXPECT_FALSE(isEnabled(page, IDC_ANGLE) || isEnabled(page, IDC_ANGLE_CHOOSE));
        user.screenshot(GetParent(page), L"rotate_page");
        user.press(GetParent(page), IDCANCEL);
    });
    EXPECT_EQ(setting.rotateAssign, 0) << "cancelled";
}

TEST_F(RotatePageTest, AnglesStopShortOfAFullTurnAndSkewsShortOfAQuarter)
{
    bool applyLitByTransparency = false;
    runConversionSheet([&](WindowRobot& user) {
        HWND sheet = waitForConversionSheet(user);
        HWND page = conversionPage(user, RotateTab);
        click(page, IDC_ENABLE);
        click(page, IDC_ROTATE_ANGLE);
        typeNumber(user, page, IDC_ANGLE, L"360");
        click(page, IDC_ROTATE_SKEW);
        typeNumber(user, page, IDC_SKEW_H, L"-90");
        typeNumber(user, page, IDC_SKEW_V, L"12.345");
        user.press(sheet, ApplyButtonId);
        user.waitUntil([&] { return !isEnabled(sheet, ApplyButtonId); }, L"the apply");
        click(page, IDC_SKEW_TRANSPARENT);
        applyLitByTransparency = isEnabled(sheet, ApplyButtonId);
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(applyLitByTransparency);
    EXPECT_EQ(setting.rotateAssign, 4);
    EXPECT_EQ(std::wstring(setting.rotateAssignAngle.toString().buffer()), L"359.99");
    EXPECT_EQ(std::wstring(setting.rotateAngleH.toString().buffer()), L"-89.99");
    EXPECT_EQ(std::wstring(setting.rotateAngleV.toString().buffer()), L"12.34") << "two decimals, halves to even";
    EXPECT_TRUE(setting.rotateSlopeColorTransparent);
    EXPECT_FALSE(setting.rotateAssignAngleColorTransparent);
}
