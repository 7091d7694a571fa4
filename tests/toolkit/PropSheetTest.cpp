#include <gtest/gtest.h>
#include <atomic>
#include <vector>
#include "ToolkitTestResources.h"
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/WindowRobot.h"
#include "toolkit/PropSheet.h"

namespace {

constexpr wchar_t SheetCaption[] = L"オプション";
constexpr int ApplyButton = 0x3021;

// A page that counts what the sheet asks of it and can refuse, fail or cancel when told to.
class CountingPage : public PropPage {
public:
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            ++fills;
            if (cancelWhenFilled)
                pressCancel();
            return TRUE;
        }
        return PropPage::handleMessage(window, message, wParam, lParam);
    }
    void onCommand(HWND, int id, int code) override
    {
        if (id == IDC_NAME && code == EN_CHANGE)
            setChanged();
    }
    bool onKillActive(HWND) override
    {
        bool stay = keepUserHere;
        keepUserHere = false;
        return stay;
    }
    bool onApply(HWND) override
    {
        ++applies;
        if (failApply) {
            failApply = false;
            throw Exception(4321);
        }
        bool refuse = refuseApply;
        refuseApply = false;
        return !refuse;
    }
    void onException(const Exception& exception) override { exceptionCodes.push_back(exception.getCode()); }

    int fills = 0;
    int applies = 0;
    bool keepUserHere = false;
    bool refuseApply = false;
    bool failApply = false;
    bool cancelWhenFilled = false;
    std::vector<int> exceptionCodes;
};

class DeletionCounter : public PropPage {
public:
    explicit DeletionCounter(int& deleted) : deleted(deleted) {}
    ~DeletionCounter() override { ++deleted; }

private:
    int& deleted;
};

HWND tabsOf(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
}

std::wstring tabLabel(HWND sheet, int index)
{
    wchar_t label[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = label;
    item.cchTextMax = 64;
    SendMessageW(tabsOf(sheet), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return label;
}

int selectedTab(HWND sheet)
{
    return static_cast<int>(SendMessageW(tabsOf(sheet), TCM_GETCURSEL, 0, 0));
}

} // namespace

TEST(PropSheet, TwoPagesChangePagesAndAnApplyThatFailsOrRefusesKeepsTheSheetOpen)
{
    LentSettings settings(L"Korvilane Missing Face:9;IPAPGothic:9");
    CountingPage general, detail;
    AppPropSheet sheet;
    sheet.addPage(&general, nullptr, IDD_PAGE_GENERAL);
    sheet.addPageWithTitle(&detail, nullptr, IDD_PAGE_DETAIL, L"詳細な設定");

    struct Seen {
        bool contextHelp = true;
        std::wstring firstTab, secondTab, prompt, face, detailText;
        bool applyLit = false;
        int tabAfterRefusedLeave = -1, tabAfterChange = -1, reopenCode = 0;
        bool openAfterFailedApply = false, openAfterRefusedApply = false;
        std::vector<int> codesAfterFailedApply;
    } seen;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(SheetCaption));
        seen.contextHelp = (GetWindowLongPtrW(shown, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
        seen.firstTab = tabLabel(shown, 0);
        seen.secondTab = tabLabel(shown, 1);
        HWND page = general.getHandle();
        seen.prompt = user.text(page, IDC_PROMPT);
        seen.face = fontFaceOf(GetDlgItem(page, IDC_PROMPT));
        user.type(page, IDC_NAME, L"C:\\出力");
        seen.applyLit = IsWindowEnabled(GetDlgItem(shown, ApplyButton)) != FALSE;
        user.screenshot(shown, L"property_sheet");
        seen.reopenCode = thrownCode([&] { sheet.doModal(nullptr, L"again", false, 0); });

        general.keepUserHere = true;
        SendMessageW(shown, PSM_SETCURSEL, 1, 0);
        seen.tabAfterRefusedLeave = selectedTab(shown);
        SendMessageW(shown, PSM_SETCURSEL, 1, 0);
        seen.tabAfterChange = selectedTab(shown);
        seen.detailText = user.text(detail.getHandle(), IDC_DETAIL_TEXT);

        general.failApply = true;
        user.press(shown, IDOK);
        user.waitUntil([&] { return general.applies == 1; }, L"the first apply");
        seen.openAfterFailedApply = IsWindowVisible(shown) != FALSE;
        seen.codesAfterFailedApply = general.exceptionCodes;
        general.refuseApply = true;
        user.press(shown, IDOK);
        user.waitUntil([&] { return general.applies == 2; }, L"the second apply");
        seen.openAfterRefusedApply = IsWindowVisible(shown) != FALSE;
        user.press(shown, IDOK);
        user.waitUntilGone(shown);
    });
    INT_PTR result = sheet.doModal(nullptr, SheetCaption, false, 0);
    robot.finish();

    EXPECT_GT(result, 0);
    EXPECT_FALSE(seen.contextHelp) << "no \"?\" button";
    EXPECT_EQ(seen.firstTab, L"全般") << "the template's caption";
    EXPECT_EQ(seen.secondTab, L"詳細な設定") << "the given title";
    EXPECT_EQ(seen.prompt, L"出力先のフォルダー:");
    EXPECT_EQ(seen.face, InstalledFace);
    EXPECT_TRUE(seen.applyLit) << "a changed page lights Apply";
    EXPECT_EQ(seen.reopenCode, ErrorCode::InvalidState) << "its pages are still bound";
    EXPECT_EQ(seen.tabAfterRefusedLeave, 0) << "the page kept the user";
    EXPECT_EQ(seen.tabAfterChange, 1);
    EXPECT_EQ(seen.detailText, L"変換後に元のファイルを削除します。");
    EXPECT_TRUE(seen.openAfterFailedApply) << "an apply that failed half-way must not close the sheet";
    EXPECT_EQ(seen.codesAfterFailedApply, std::vector<int>{4321});
    EXPECT_TRUE(seen.openAfterRefusedApply);
    EXPECT_EQ(general.applies, 3);
    EXPECT_EQ(detail.applies, 1) << "asked only once the page before it agreed";
    EXPECT_EQ(general.getHandle(), nullptr) << "pages are unbound when the sheet closes";
}

TEST(PropSheet, CancelWithoutApplyButtonAndTheSameSheetShownAgain)
{
    CountingPage general, detail;
    PropSheet sheet;
    sheet.addPage(&general, nullptr, IDD_PAGE_GENERAL);
    sheet.addPage(&detail, nullptr, IDD_PAGE_DETAIL);
    for (int round = 0; round < 2; ++round) {
        bool applyShown = true;
        int startTab = -1;
        int tabIndexOfPage = -1;
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(SheetCaption));
            HWND apply = GetDlgItem(shown, ApplyButton);
            applyShown = apply && IsWindowVisible(apply);
            startTab = selectedTab(shown);
            tabIndexOfPage = detail.getSheetTabIndex();
            user.press(shown, IDCANCEL);
        });
        EXPECT_EQ(sheet.doModal(nullptr, SheetCaption, true, 1), 0);
        robot.finish();
        EXPECT_FALSE(applyShown);
        EXPECT_EQ(startTab, 1);
        EXPECT_EQ(tabIndexOfPage, 1);
    }
    EXPECT_EQ(general.applies + detail.applies, 0);
    EXPECT_EQ(detail.fills, 2);
}

TEST(PropSheet, APageThatCannotFillItselfCancelsTheSheet)
{
    CountingPage page;
    page.cancelWhenFilled = true;
    PropSheet sheet;
    sheet.addPage(&page, nullptr, IDD_PAGE_GENERAL);
    // The robot only steps in when the sheet stays open.
    std::atomic<bool> returned{false};
    WindowRobot robot([&](WindowRobot& user) { user.waitUntil([&] { return returned.load(); }, L"the sheet to close"); });
    EXPECT_EQ(sheet.doModal(nullptr, SheetCaption, false, 0), 0);
    returned = true;
    robot.finish();
    EXPECT_EQ(page.fills, 1);
}

TEST(PropSheet, AModelessSheetLivesInTheCallersMessageLoop)
{
    CountingPage general, detail;
    PropSheet sheet;
    sheet.addPage(&general, nullptr, IDD_PAGE_GENERAL);
    sheet.addPage(&detail, nullptr, IDD_PAGE_DETAIL);
    int startTab = -1;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::dialog(L"モードレス"));
        startTab = selectedTab(shown);
        user.press(shown, IDOK);
    });
    HWND shown = sheet.create(nullptr, L"モードレス", false, 1);
    ASSERT_TRUE(IsWindow(shown));
    EXPECT_TRUE(pumpMessagesUntil([&] { return PropSheet::destroyIfClosed(shown); }));
    robot.finish();
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_EQ(startTab, 1);
    EXPECT_EQ(detail.applies, 1);
    EXPECT_EQ(general.fills + general.applies, 0) << "a page never shown is never asked";
}

TEST(PropSheet, PagesAreCheckedWhenAddedAndOwnedPagesAreDeleted)
{
    PropSheet empty;
    EXPECT_EQ(thrownCode([&] { empty.doModal(nullptr, L"x", false, 0); }), ErrorCode::InvalidState);
    EXPECT_EQ(thrownCode([&] { empty.addPage(nullptr, nullptr, IDD_PAGE_GENERAL); }), ErrorCode::InvalidArgument);

    int deleted = 0;
    {
        PropSheet owner;
        owner.setOwnsPages(true);
        EXPECT_EQ(thrownCode([&] { owner.addPage(new DeletionCounter(deleted), nullptr, 0); }),
                  ErrorCode::InvalidArgument);
        EXPECT_EQ(thrownCode([&] { owner.addPage(new DeletionCounter(deleted), nullptr, 999); }),
                  ERROR_RESOURCE_NAME_NOT_FOUND);
        EXPECT_EQ(deleted, 2) << "a page the sheet could not take is not lost";
        owner.addPage(new DeletionCounter(deleted), nullptr, IDD_PAGE_GENERAL);
        EXPECT_EQ(owner.getPageCount(), 1);
    }
    EXPECT_EQ(deleted, 3);
}
