#include <gtest/gtest.h>
#include <atomic>
#include "PageTestResources.h"
#include "PageTesting.h"
#include "pages/AppearancePage.h"
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
    int masterClicks = 0;

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
    void command(int id, int code) override
    {
        if (id == IDC_ENABLE && code == BN_CLICKED)
            ++masterClicks;
    }

private:
    Button enable;
};

int selectedTab(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
}

using SettingSheetTest = PageTest;

} // namespace

TEST_F(SettingSheetTest, OpensAtTheRememberedPageAndRemembersThePageCurrentAtOk)
{
    setting.windowIndexConvertSetting = 1;
    setting.appearanceEnable = true;
    setting.appearanceEllipseWidth = 12;
    TestPage first, third;
    AppearancePage second;
    SettingSheet sheet(ConversionSheetTitle);
    sheet.rememberPageIn(setting.windowIndexConvertSetting);
    sheet.add(first, IDD_TEST_PAGE);
    sheet.add(second, IDD_APPEARANCE);
    sheet.add(third, IDD_TEST_PAGE);

    int startTab = -1;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
        startTab = selectedTab(shown);
        HWND appearance = currentPage(shown);
        typeNumber(user, appearance, IDC_ELLIPSE_WIDTH, L"34");
        HWND last = showPage(user, shown, 2);
        click(last, IDC_ENABLE);
        user.press(shown, IDOK);
        user.waitUntilGone(shown);
    });
    EXPECT_GT(sheet.show(nullptr), 0);
    robot.finish();

    EXPECT_EQ(startTab, 1);
    EXPECT_EQ(setting.windowIndexConvertSetting, 2) << "the page that was current";
    EXPECT_EQ(setting.appearanceEllipseWidth, 34) << "a page shown but left is applied too";
    EXPECT_TRUE(setting.fileOverWrite);
    EXPECT_EQ(first.applies, 0) << "a page never shown applies nothing";
    EXPECT_EQ(third.masterClicks, 2) << "one click after filling, one by the user";
}

TEST_F(SettingSheetTest, CancelChangesNothingAndOnlyAnApplyRaisesTheFlag)
{
    bool applied = false;
    AppearancePage appearance;
    TestPage other;
    SettingSheet sheet(ConversionSheetTitle);
    sheet.reportApplyTo(applied);
    sheet.hideApplyButton();
    sheet.add(appearance, IDD_APPEARANCE);
    sheet.add(other, IDD_TEST_PAGE);

    for (int button : {IDCANCEL, IDOK}) {
        bool applyButtonShown = true;
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(ConversionSheetCaption));
            HWND apply = GetDlgItem(shown, ApplyButtonId);
            applyButtonShown = apply && IsWindowVisible(apply);
            click(currentPage(shown), IDC_ENABLE);
            click(showPage(user, shown, 1), IDC_ENABLE);
            user.press(shown, button);
            user.waitUntilGone(shown);
        });
        sheet.show(nullptr);
        robot.finish();
        EXPECT_FALSE(applyButtonShown);
        EXPECT_EQ(applied, button == IDOK);
        EXPECT_EQ(setting.appearanceEnable, button == IDOK);
        EXPECT_EQ(setting.fileOverWrite, button == IDOK);
    }
}

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
    EXPECT_EQ(failing.masterClicks, 0);
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
