#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int RotateTab = 3;

using RotatePageTest = PageTest;

} // namespace

TEST_F(RotatePageTest, EachTurnEnablesOnlyItsOwnGroup)
{
    setting.rotateEnable = true;
    setting.rotateAssign = 0;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, RotateTab);
        EXPECT_TRUE(isChecked(page, IDC_ROTATE_90));
        EXPECT_FALSE(isEnabled(page, IDC_ANGLE) || isEnabled(page, IDC_ANGLE_CHOOSE) || isEnabled(page, IDC_SKEW_H) ||
                     isEnabled(page, IDC_SKEW_TRANSPARENT));
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
}
