#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int ResizeTab = 1;

using ResizePageTest = PageTest;

} // namespace

TEST_F(ResizePageTest, TheRatioTheSidesAndTheStretchFollowTheChoices)
{
    setting.resizeEnable = true;
    setting.resizeAdjust = 2;
    setting.resizeOrientation = 0;
    setting.resizeStretch = true;
    setting.resizeRenderPosition = 9;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, ResizeTab);
        EXPECT_FALSE(isShown(page, IDC_RATIO));
        EXPECT_TRUE(isShown(page, IDC_RATIO_FIXED));
        EXPECT_EQ(user.text(page, IDC_RATIO_FIXED), L"1") << "a square";
        EXPECT_TRUE(isEnabled(page, IDC_WIDTH) && !isEnabled(page, IDC_HEIGHT)) << "by width";
        EXPECT_TRUE(isEnabled(page, IDC_INTERPOLATION_HIGH) && !isEnabled(page, IDC_CHOOSE_COLOR)) << "stretched";
        EXPECT_EQ(itemCount(page, IDC_RENDER_POSITION), 10);
        EXPECT_TRUE(SendDlgItemMessageW(page, IDC_RENDER_POSITION, CBEM_GETIMAGELIST, 0, 0)) << "pictograms";
        user.screenshot(GetParent(page), L"resize_page");

        choose(page, IDC_ADJUST, 3);
        EXPECT_EQ(user.text(page, IDC_RATIO_FIXED), L"1.6");
        choose(page, IDC_ADJUST, 4);
        EXPECT_EQ(user.text(page, IDC_RATIO_FIXED), L"1.414");
        choose(page, IDC_ORIENTATION, 1);
        EXPECT_TRUE(!isEnabled(page, IDC_WIDTH) && isEnabled(page, IDC_HEIGHT)) << "by height";
        choose(page, IDC_ORIENTATION, 2);
        EXPECT_TRUE(isEnabled(page, IDC_WIDTH) && isEnabled(page, IDC_HEIGHT)) << "by the longer side";
        choose(page, IDC_ADJUST, 5);
        EXPECT_TRUE(isShown(page, IDC_RATIO) && isEnabled(page, IDC_RATIO) && !isShown(page, IDC_RATIO_FIXED));
        choose(page, IDC_ORIENTATION, 1);
        choose(page, IDC_ADJUST, 0);
        EXPECT_TRUE(isEnabled(page, IDC_WIDTH) && isEnabled(page, IDC_HEIGHT)) << "given directly";
        EXPECT_FALSE(isEnabled(page, IDC_ORIENTATION) || isEnabled(page, IDC_RATIO));
        click(page, IDC_RESIZE_FIT);
        EXPECT_TRUE(!isEnabled(page, IDC_INTERPOLATION_HIGH) && isEnabled(page, IDC_CHOOSE_COLOR) &&
                    isEnabled(page, IDC_RENDER_POSITION));
        user.press(GetParent(page), IDCANCEL);
    });
}

TEST_F(ResizePageTest, OkStoresBothUnits)
{
    setting.resizeUnit = 1;
    setting.resizeWidth = 640;
    setting.resizeAdjust = 5;
    setting.resizeOrientation = 2;
    std::wstring widthInPercent, widthInPixels;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, ResizeTab);
        click(page, IDC_ENABLE);
        typeNumber(user, page, IDC_WIDTH, L"500");
        typeNumber(user, page, IDC_HEIGHT, L"30.5");
        click(page, IDC_UNIT_PIXEL);
        widthInPixels = fieldText(page, IDC_WIDTH);
        click(page, IDC_UNIT_PERCENT);
        widthInPercent = fieldText(page, IDC_WIDTH);
        user.press(GetParent(page), IDOK);
    });
    EXPECT_EQ(widthInPixels, L"640");
    EXPECT_EQ(widthInPercent, L"400.00") << "at most 400 percent";
    EXPECT_EQ(setting.resizeUnit, 1);
    EXPECT_EQ(setting.resizeWidth, 640);
    EXPECT_EQ(std::wstring(setting.resizeWidthPer.toString().buffer()), L"400");
    EXPECT_EQ(std::wstring(setting.resizeHeightPer.toString().buffer()), L"30.5");
}
