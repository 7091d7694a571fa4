#include <gtest/gtest.h>
#include "PageTesting.h"
#include "pages/RenameSheet.h"
#include "pages/renamePageIds.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "toolkit/HtmlPanel.h"

namespace {

constexpr wchar_t RenameSheetCaption[] = L"リネームと振り分けの設定";
enum Tab { RenameTab, FilterTab, ExtensionTab };

class RenameSheetTest : public PageTest {
protected:
    RenameSheetTest()
    {
        loadMessages(GetModuleHandleW(nullptr));
        setting.renameEnable = true;
        setting.renameDefinition = L"photo$index.$ext";
        setting.renameIndexBase = 100;
        setting.renameIndexIncrement = 5;
        setting.renameIndexPadding = 3;
        setting.filterEnable = true;
        setting.filterType = 1;
        setting.filterNameLength = 4;
        setting.outputExtEnable = true;
        for (const wchar_t* extension : {L"jpeg", L"gif", L"tiff", L"png", L"dib", L"jxr", L"hdp"})
            setting.outputExts.add(extension);
    }

    void runSheet(const WindowRobot::Script& script)
    {
        WindowRobot robot(
            [&](WindowRobot& user) {
                HWND shown = user.waitForWindow(WindowQuery::dialog(RenameSheetCaption));
                script(user);
                user.waitUntilGone(shown);
            },
            std::chrono::milliseconds(30000));
        showRenameSheet(nullptr);
        robot.finish();
    }

    static HWND sheetOf(WindowRobot& user) { return user.waitForWindow(WindowQuery::dialog(RenameSheetCaption)); }
};

} // namespace

TEST_F(RenameSheetTest, EveryPageShowsTheRecordAndOkWritesWhatTheUserChanged)
{
    setting.windowIndexRenameSetting = ExtensionTab;
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        EXPECT_TRUE(isChecked(page, IDC_EXT_ENABLE)) << "opens at the page the user left it on";
        EXPECT_EQ(user.text(page, IDC_EXT_HDPHOTO), L"jxr") << "HD Photo is the sixth entry";
        EXPECT_EQ(user.text(page, IDC_EXT_BITMAP), L"dib") << "Bitmap is the fifth entry";
        click(page, IDC_EXT_RESET);
        EXPECT_EQ(user.text(page, IDC_EXT_JPEG), L"jpg");
        EXPECT_EQ(user.text(page, IDC_EXT_HDPHOTO), L"wdp");
        EXPECT_EQ(user.text(page, IDC_EXT_BITMAP), L"bmp");
        user.type(page, IDC_EXT_GIF, L"giff");
        click(page, IDC_EXT_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_EXT_JPEG_LABEL, IDC_EXT_JPEG, IDC_EXT_BITMAP, IDC_EXT_RESET}, false));
        user.screenshot(sheet, L"rename_sheet_extensions");

        page = showPage(user, sheet, FilterTab);
        EXPECT_TRUE(isChecked(page, IDC_FILTER_BY_YEAR));
        EXPECT_FALSE(isEnabled(page, IDC_FILTER_LENGTH)) << "only names have a length";
        click(page, IDC_FILTER_BY_NAME);
        EXPECT_TRUE(enabledAre(page, {IDC_FILTER_LENGTH_LABEL, IDC_FILTER_LENGTH}, true));
        typeNumber(user, page, IDC_FILTER_LENGTH, L"12");
        user.screenshot(sheet, L"rename_sheet_filter");
        click(page, IDC_FILTER_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_FILTER_BY_FOLDER, IDC_FILTER_BY_NAME, IDC_FILTER_LENGTH}, false));
        click(page, IDC_FILTER_ENABLE);

        page = showPage(user, sheet, RenameTab);
        EXPECT_TRUE(isChecked(page, IDC_RENAME_ENABLE));
        EXPECT_EQ(user.text(page, IDC_RENAME_RULE), L"photo$index.$ext");
        user.type(page, IDC_RENAME_RULE, L"$fname_$index.$ext");
        user.screenshot(sheet, L"rename_sheet_rule");
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(setting.renameDefinition, wstring(L"$fname_$index.$ext"));
    EXPECT_TRUE(setting.renameEnable);
    EXPECT_EQ(setting.windowIndexRenameSetting, RenameTab);
    EXPECT_TRUE(setting.filterEnable);
    EXPECT_EQ(setting.filterType, 4);
    EXPECT_EQ(setting.filterNameLength, 12);
    EXPECT_FALSE(setting.outputExtEnable);
    const wchar_t* const expected[] = {L"jpg", L"giff", L"tif", L"png", L"bmp", L"wdp", L"hdp"};
    ASSERT_EQ(setting.outputExts.count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(setting.outputExts.at(i), wstring(expected[i])) << i;
}

TEST_F(RenameSheetTest, TheCounterSettingsOutliveAHelpPageThatFailedToLoad)
{
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        // Long enough for the help page's load to end, whichever way it ends.
        Sleep(HtmlPanel::SilenceTimeout + 1500);
        user.type(page, IDC_RENAME_RULE, L"img$index");
        user.screenshot(sheet, L"rename_sheet_after_help");
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(setting.renameDefinition, wstring(L"img$index"));
    if (runningUnderWine()) {
        EXPECT_EQ(setting.renameIndexBase, 100);
        EXPECT_EQ(setting.renameIndexIncrement, 5);
        EXPECT_EQ(setting.renameIndexPadding, 3);
    }
}

TEST_F(RenameSheetTest, AnEmptyRuleKeepsTheUserOnThePage)
{
    setting.renameEnable = false;
    setting.renameDefinition = L"";
    runSheet([&](WindowRobot& user) {
        HWND sheet = sheetOf(user);
        HWND page = currentPage(sheet);
        EXPECT_FALSE(enabledAre(page, {IDC_RENAME_RULE_LABEL, IDC_RENAME_RULE}, true));
        click(page, IDC_RENAME_ENABLE);
        EXPECT_TRUE(enabledAre(page, {IDC_RENAME_RULE_LABEL, IDC_RENAME_RULE}, true));
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, sheet), L"リネーム規則を入力してください。");
        EXPECT_EQ(currentPage(sheet), page) << "the page stays";
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, sheet), L"リネーム規則を入力してください。");
        user.press(sheet, IDCANCEL);
    });
    EXPECT_FALSE(setting.renameEnable);
}
