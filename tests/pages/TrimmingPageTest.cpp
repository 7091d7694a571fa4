#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int TrimmingTab = 0;

using TrimmingPageTest = PageTest;

} // namespace

TEST_F(TrimmingPageTest, AutomaticDetectionInPercentEnablesOnlyTheScanControls)
{
    setting.trimmingEnable = true;
    setting.trimmingUnit = 1;
    setting.trimmingAutoScan = true;
    setting.trimmingLeftPer = number(L"1.5");
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TrimmingTab);
        EXPECT_EQ(fieldText(page, IDC_TRIM_LEFT), L"1.50");
        EXPECT_TRUE(enabledAre(page, {IDC_TRIM_LEFT, IDC_UNIT_PIXEL, IDC_SCAN_SWATCH, IDC_CHOOSE_COLOR}, false))
            << "no margins given, no colour chosen";
        EXPECT_TRUE(enabledAre(page, {IDC_SCAN_TOP, IDC_SCAN_COLOR, IDC_OFFSET, IDC_SPACE}, true));
        click(page, IDC_SCAN_COLOR);
        EXPECT_TRUE(enabledAre(page, {IDC_SCAN_SWATCH, IDC_CHOOSE_COLOR}, true));
        user.screenshot(GetParent(page), L"trimming_page");
        click(page, IDC_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_TRIM_BY_WIDTH, IDC_TRIM_AUTO, IDC_SCAN_LEFT, IDC_CHOOSE_COLOR, IDC_OFFSET},
                               false));
        user.press(GetParent(page), IDCANCEL);
    });
}

TEST_F(TrimmingPageTest, BothUnitsKeepTheirMarginsAcrossSwitchesAndAreBothStored)
{
    setting.trimmingTop = 20;
    setting.trimmingTopPer = number(L"2.25");
    std::wstring topInPercent, topBackInPixels;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, TrimmingTab);
        click(page, IDC_ENABLE);
        click(page, IDC_UNIT_PERCENT);
        topInPercent = fieldText(page, IDC_TRIM_TOP);
        typeNumber(user, page, IDC_TRIM_LEFT, L"150");
        typeNumber(user, page, IDC_TRIM_BOTTOM, L"1.234");
        click(page, IDC_UNIT_PIXEL);
        topBackInPixels = fieldText(page, IDC_TRIM_TOP);
        typeNumber(user, page, IDC_TRIM_LEFT, L"55");
        click(page, IDC_UNIT_PERCENT);
        user.press(GetParent(page), IDOK);
    });
    EXPECT_EQ(topInPercent, L"2.25");
    EXPECT_EQ(topBackInPixels, L"20");
    EXPECT_EQ(setting.trimmingUnit, 1);
    EXPECT_EQ(setting.trimmingLeft, 55) << "the pixels are stored while percent is shown";
    EXPECT_EQ(text(setting.trimmingLeftPer), L"100") << "at most 100 percent";
    EXPECT_EQ(text(setting.trimmingBottomPer), L"1.23") << "two decimals";
    EXPECT_EQ(text(setting.trimmingTopPer), L"2.25");
}
