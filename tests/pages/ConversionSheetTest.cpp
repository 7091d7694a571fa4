#include <gtest/gtest.h>
#include <vector>
#include "PageTesting.h"
#include "pages/ConversionSheet.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int RotateTab = 3;
constexpr int OrderTab = 6;
constexpr int HdPhoto = 6;

HWND tabsOf(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
}

int selectedTab(HWND sheet)
{
    return static_cast<int>(SendMessageW(tabsOf(sheet), TCM_GETCURSEL, 0, 0));
}

std::wstring lastTabLabel(HWND sheet)
{
    HWND tabs = tabsOf(sheet);
    wchar_t label[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0) - 1, reinterpret_cast<LPARAM>(&item));
    return label;
}

class ConversionSheetTest : public PageTest {
protected:
    ConversionSheetTest()
    {
        // Values that a page would bring into its range if it applied.
        setting.resizeWidth = 0;
        setting.orderFirst = L"";
    }
    bool untouchedByUnseenPages() const { return setting.resizeWidth == 0 && setting.orderFirst.isEmpty(); }
    std::vector<bool> enabledSteps() const
    {
        return {setting.trimmingEnable, setting.resizeEnable, setting.textEnable,
                setting.rotateEnable,   setting.effectEnable, setting.appearanceEnable};
    }
};

} // namespace

TEST_F(ConversionSheetTest, OpensAtTheRememberedTabRemembersTheTabOfOkAndAppliesOnlyThePagesShown)
{
    setting.windowIndexConvertSetting = 5;
    int startTab = -1;
    int heard = runConversionSheet([&](WindowRobot& user) {
        startTab = selectedTab(waitForConversionSheet(user));
        HWND page = conversionPage(user, RotateTab);
        click(page, IDC_ENABLE);
        user.press(GetParent(page), IDOK);
    });
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(startTab, 5);
    EXPECT_EQ(setting.windowIndexConvertSetting, RotateTab);
    EXPECT_TRUE(setting.rotateEnable);
    EXPECT_TRUE(untouchedByUnseenPages());
}

TEST_F(ConversionSheetTest, BeforeARunTheSheetDecidesWhetherTheRunGoesOn)
{
    setting.fileEnsureSetting = false;
    EXPECT_TRUE(confirmConversionSettings(nullptr, L"", pictures, nullptr, HdPhoto)) << "nothing to ask";

    setting.fileEnsureSetting = true;
    setting.windowIndexConvertSetting = RotateTab;
    for (int button : {IDCANCEL, IDOK}) {
        PropPage formatPage;
        bool applyButtonShown = true;
        int startTab = -1;
        std::wstring formatTab;
        WindowRobot robot([&](WindowRobot& user) {
            HWND sheet = waitForConversionSheet(user);
            HWND apply = GetDlgItem(sheet, ApplyButtonId);
            applyButtonShown = apply && IsWindowVisible(apply);
            startTab = selectedTab(sheet);
            formatTab = lastTabLabel(sheet);
            for (int tab = 0; tab < OrderTab; ++tab)
                click(showPage(user, sheet, tab), IDC_ENABLE);
            user.press(sheet, button);
            user.waitUntilGone(sheet);
        });
        bool goesOn = confirmConversionSettings(nullptr, L"", pictures, &formatPage, HdPhoto);
        robot.finish();
        EXPECT_EQ(goesOn, button == IDOK);
        EXPECT_FALSE(applyButtonShown);
        EXPECT_EQ(startTab, 0);
        EXPECT_EQ(formatTab, L"HD Photo");
        bool switchedOn = button == IDOK;
        EXPECT_EQ(enabledSteps(), (std::vector<bool>(OrderTab, switchedOn)));
    }
    EXPECT_EQ(setting.windowIndexConvertSetting, RotateTab) << "the sheet before a run remembers no page";
    EXPECT_TRUE(setting.orderFirst.isEmpty()) << "a page never shown applies nothing";
}
