#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

TEST_F(PageTest, AppearanceEnablesOnlyTheSizesOfTheChosenShape)
{
    constexpr int AppearanceTab = 5;
    const std::initializer_list<int> ellipse{IDC_ELLIPSE_WIDTH_LABEL, IDC_ELLIPSE_WIDTH, IDC_ELLIPSE_HEIGHT};
    const std::initializer_list<int> frame{IDC_FRAME_WIDTH_LABEL, IDC_FRAME_WIDTH, IDC_FRAME_HEIGHT};
    setting.appearanceRgnType = 1;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, AppearanceTab);
        EXPECT_TRUE(enabledAre(page, {IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE}, false)) << "switched off";
        click(page, IDC_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE}, true));
        EXPECT_TRUE(enabledAre(page, ellipse, false) && enabledAre(page, frame, false)) << "a circle";
        user.screenshot(GetParent(page), L"appearance_page");
        choose(page, IDC_SHAPE, 0);
        EXPECT_TRUE(enabledAre(page, ellipse, true) && enabledAre(page, frame, false)) << "an ellipse";
        choose(page, IDC_SHAPE, 2);
        EXPECT_TRUE(enabledAre(page, ellipse, false) && enabledAre(page, frame, true)) << "a frame";
        user.press(GetParent(page), IDCANCEL);
    });
}
