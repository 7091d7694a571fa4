#include <gtest/gtest.h>
#include <atomic>
#include "PageTestResources.h"
#include "PageTesting.h"
#include "pages/SettingPage.h"
#include "pages/SettingSheet.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"
#include "toolkit/Button.h"

namespace {

// A page of the test's own that writes File/OverWrite and can fail to fill or to apply.
class TestPage : public SettingPage {
public:
    TestPage() : SettingPage(IDC_ENABLE) {}

    bool failFill = false;
    bool failApply = false;
    int applies = 0;

protected:
    void bindControls() override { bind(enable, IDC_ENABLE); }
    void fill(const AppSetting& setting) override
    {
        if (failFill)
            throw Exception(ERROR_INVALID_DATA);
        enable.setCheck(setting.fileOverWrite);
    }
    void apply(AppSetting& setting) override
    {
        ++applies;
        setting.fileOverWrite = enable.getCheck();
        if (failApply)
            throw Exception(ERROR_ACCESS_DENIED);
    }
    void command(int, int) override {}

private:
    Button enable;
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
    SettingSheet sheet(ConversionSheetTitle);
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
    SettingSheet sheet(ConversionSheetTitle);
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
