#include <gtest/gtest.h>
#include <atomic>
#include "PageTestResources.h"
#include "PageTesting.h"
#include "pages/SettingPage.h"
#include "pages/SettingSheet.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"

namespace {

// A page of the test's own that writes File/OverWrite and can fail to fill or to apply.
class TestPage : public SettingPage {
public:
    TestPage() : SettingPage(IDC_ENABLE) {}

    bool failFill = false;
    bool failApply = false;
    int applies = 0;

protected:
    void exchange(PageExchange& x, AppSetting& setting) override
    {
        if (failFill && x.isFilling())
            throw Exception(ERROR_INVALID_DATA);
        applies += x.isApplying() ? 1 : 0;
        x.check(IDC_ENABLE, setting.fileOverWrite);
        if (failApply && x.isApplying())
            throw Exception(ERROR_ACCESS_DENIED);
    }
};

using SettingSheetTest = PageTest;

} // namespace

TEST_F(SettingSheetTest, AFailedApplyIsShownOnceAndTheSheetStillClosesWithoutRememberingItsPage)
{
    // Out of range: the sheet opens at its first page.
    setting.windowIndexConvertSetting = 9;
    bool applied = false;
    TestPage failing;
    failing.failApply = true;
    SettingSheet sheet(IDS_CONVERSION_SHEET);
    sheet.rememberPageIn(setting.windowIndexConvertSetting);
    sheet.reportApplyTo(applied);
    sheet.add(failing, IDD_TEST_PAGE);

    std::wstring warning;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
        click(currentPage(shown), IDC_ENABLE);
        user.press(shown, IDOK);
        warning = user.answerMessageBox(IDOK);
        user.waitUntilGone(shown);
    });
    sheet.show(nullptr);
    robot.finish();

    EXPECT_FALSE(warning.empty());
    EXPECT_EQ(failing.applies, 1);
    EXPECT_TRUE(setting.fileOverWrite) << "what was written before the failure stays";
    EXPECT_EQ(setting.windowIndexConvertSetting, 9);
    EXPECT_FALSE(applied);
}

TEST_F(SettingSheetTest, APageThatCannotFillItselfCancelsTheSheet)
{
    bool applied = false;
    TestPage failing;
    failing.failFill = true;
    SettingSheet sheet(IDS_CONVERSION_SHEET);
    sheet.reportApplyTo(applied);
    sheet.add(failing, IDD_TEST_PAGE);
    // The robot only steps in when the sheet stays open.
    std::atomic<bool> returned{false};
    WindowRobot robot(
        [&](WindowRobot& user) { user.waitUntil([&] { return returned.load(); }, L"the sheet to close"); });
    EXPECT_EQ(sheet.show(nullptr), 0);
    returned = true;
    robot.finish();
    EXPECT_EQ(failing.applies, 0);
    EXPECT_FALSE(applied);
}

TEST(FormatSheet, WdpAndHdpShareTheHdPhotoPageBeforeTheBitmapPage)
{
    EXPECT_EQ(formatSheetPageOf(5), 4);
    EXPECT_EQ(formatSheetPageOf(6), 4);
    EXPECT_EQ(formatSheetPageOf(4), 5);
    EXPECT_EQ(formatPageTemplateOf(6), 1215u);
    EXPECT_EQ(formatPageTemplateOf(4), 1216u);
}
