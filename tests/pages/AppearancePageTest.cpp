#include <gtest/gtest.h>
#include <vector>
#include "PageTesting.h"
#include "pages/AppearancePage.h"
#include "pages/SettingSheet.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

const std::vector<int> ellipseGroup{IDC_ELLIPSE_WIDTH_LABEL, IDC_ELLIPSE_WIDTH, IDC_ELLIPSE_HEIGHT_LABEL,
                                    IDC_ELLIPSE_HEIGHT};
const std::vector<int> frameGroup{IDC_FRAME_WIDTH_LABEL, IDC_FRAME_WIDTH, IDC_FRAME_HEIGHT_LABEL, IDC_FRAME_HEIGHT};

bool allEnabled(HWND page, const std::vector<int>& ids, bool enabled)
{
    for (int id : ids)
        if (isEnabled(page, id) != enabled)
            return false;
    return true;
}

class AppearancePageTest : public PageTest {
protected:
    // Shows the page alone in the conversion sheet while the script runs.
    void runSheet(const WindowRobot::Script& script)
    {
        AppearancePage page;
        SettingSheet sheet(ConversionSheetTitle);
        sheet.add(page, IDD_APPEARANCE);
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
            script(user);
            user.waitUntilGone(shown);
        });
        sheet.show(nullptr);
        robot.finish();
    }
};

} // namespace

TEST_F(AppearancePageTest, ShowsTheRecordAndEnablesOnlyTheSizesOfTheChosenShape)
{
    setting.appearanceEnable = true;
    setting.appearanceBackColor = RGB(10, 20, 30);
    setting.appearanceRgnType = 1;
    setting.appearanceEllipseWidth = 12;
    setting.appearanceEllipseHeight = 34;
    setting.appearanceFrameWidth = 56;
    setting.appearanceFrameHeight = 78;
    runSheet([&](WindowRobot& user) {
        HWND sheet = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
        HWND page = currentPage(sheet);
        EXPECT_TRUE(isChecked(page, IDC_ENABLE));
        EXPECT_EQ(swatchColor(page, IDC_BACK_COLOR_SWATCH), RGB(10, 20, 30));
        ASSERT_EQ(itemCount(page, IDC_SHAPE), 3);
        EXPECT_EQ(itemText(page, IDC_SHAPE, 2), L"枠の作成");
        EXPECT_EQ(selectionOf(page, IDC_SHAPE), 1);
        EXPECT_EQ(fieldText(page, IDC_ELLIPSE_WIDTH), L"12");
        EXPECT_EQ(fieldText(page, IDC_FRAME_HEIGHT), L"78");
        EXPECT_TRUE(allEnabled(page, ellipseGroup, false) && allEnabled(page, frameGroup, false)) << "a circle";
        EXPECT_TRUE(isEnabled(page, IDC_CHOOSE_COLOR));
        user.screenshot(sheet, L"appearance_page");

        choose(page, IDC_SHAPE, 0);
        EXPECT_TRUE(allEnabled(page, ellipseGroup, true) && allEnabled(page, frameGroup, false)) << "an ellipse";
        choose(page, IDC_SHAPE, 2);
        EXPECT_TRUE(allEnabled(page, ellipseGroup, false) && allEnabled(page, frameGroup, true)) << "a frame";
        click(page, IDC_ENABLE);
        EXPECT_TRUE(allEnabled(
            page, {IDC_BACK_COLOR_LABEL, IDC_BACK_COLOR_SWATCH, IDC_CHOOSE_COLOR, IDC_SHAPE_LABEL, IDC_SHAPE}, false));
        EXPECT_TRUE(allEnabled(page, frameGroup, false)) << "switched off";
        user.press(sheet, IDCANCEL);
    });
    EXPECT_EQ(setting.appearanceRgnType, 1) << "cancelled";
    EXPECT_TRUE(setting.appearanceEnable);
}

TEST_F(AppearancePageTest, OkWritesEveryControlAndAFrameWidthStopsAt999)
{
    setting.appearanceBackColor = RGB(1, 2, 3);
    std::wstring typedTooMuch;
    bool applyLitAfterCancelledColour = true;
    runSheet([&](WindowRobot& user) {
        HWND sheet = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
        HWND page = currentPage(sheet);
        click(page, IDC_ENABLE);
        typeNumber(user, page, IDC_ELLIPSE_WIDTH, L"9999");
        typeNumber(user, page, IDC_ELLIPSE_HEIGHT, L"4");
        choose(page, IDC_SHAPE, 2);
        typeNumber(user, page, IDC_FRAME_WIDTH, L"1000");
        typedTooMuch = fieldText(page, IDC_FRAME_WIDTH);
        typeNumber(user, page, IDC_FRAME_WIDTH, L"999");
        typeNumber(user, page, IDC_FRAME_HEIGHT, L"7");
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
    EXPECT_EQ(setting.appearanceFrameHeight, 7);
    EXPECT_EQ(setting.appearanceEllipseWidth, 9999);
    EXPECT_EQ(setting.appearanceEllipseHeight, 4);
    EXPECT_EQ(setting.appearanceBackColor, RGB(1, 2, 3));
}
