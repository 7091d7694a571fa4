#include <gtest/gtest.h>
#include <set>
#include <vector>
#include "PageTesting.h"
#include "pages/conversionPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr int OrderTab = 6;

std::vector<std::wstring> listed(HWND page)
{
    std::vector<std::wstring> names;
    HWND list = GetDlgItem(page, IDC_ORDER_LIST);
    for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t name[64] = L"";
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    return names;
}

void select(HWND page, int index)
{
    HWND list = GetDlgItem(page, IDC_ORDER_LIST);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_ORDER_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

using OrderPageTest = PageTest;

} // namespace

TEST_F(OrderPageTest, WithoutAStoredOrderTheStepsRunInTheirUsualOrder)
{
    std::vector<std::wstring> shown;
    runConversionSheet([&](WindowRobot& user) {
        HWND page = conversionPage(user, OrderTab);
        shown = listed(page);
        EXPECT_FALSE(isEnabled(page, IDC_ORDER_UP) || isEnabled(page, IDC_ORDER_DOWN)) << "nothing selected";
        user.screenshot(GetParent(page), L"order_page");
        user.press(GetParent(page), IDCANCEL);
    });
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"トリミング", L"リサイズ", L"テキスト", L"回転", L"加工", L"外観"}));
}

TEST_F(OrderPageTest, RepeatedAndUnknownStepsAreDroppedAndMovesKeepTheKeyboardOnALiveButton)
{
    setting.orderFirst = L"rotate";
    setting.orderSecond = L"rotate";
    setting.orderThird = L"Resize";
    std::vector<std::wstring> shown;
    bool applyLitAtTheBottom = false, okBecameDefault = false;
    HWND focusAfterTop = nullptr, list = nullptr;
    runConversionSheet([&](WindowRobot& user) {
        HWND sheet = waitForConversionSheet(user);
        HWND page = conversionPage(user, OrderTab);
        list = GetDlgItem(page, IDC_ORDER_LIST);
        shown = listed(page);
        select(page, 5);
        EXPECT_FALSE(isEnabled(page, IDC_ORDER_DOWN));
        EXPECT_FALSE(isEnabled(sheet, ApplyButtonId)) << "nothing changed yet";
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_ORDER_DOWN, BN_CLICKED), 0);
        applyLitAtTheBottom = isEnabled(sheet, ApplyButtonId);

        select(page, 1);
        SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, IDC_ORDER_UP)), TRUE);
        click(page, IDC_ORDER_UP);
        focusAfterTop = focusOf(page);
        okBecameDefault = (GetWindowLongPtrW(GetDlgItem(sheet, IDOK), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        EXPECT_FALSE(isEnabled(page, IDC_ORDER_UP));
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"回転", L"トリミング", L"リサイズ", L"テキスト", L"加工", L"外観"}));
    EXPECT_TRUE(applyLitAtTheBottom) << "the last step cannot go down, but the page counts as changed";
    EXPECT_EQ(focusAfterTop, list);
    EXPECT_TRUE(okBecameDefault);
    EXPECT_EQ(std::wstring(setting.orderFirst.buffer()), L"trimming") << "moved up over the rotation";
    EXPECT_EQ(std::wstring(setting.orderSecond.buffer()), L"rotate");
    std::set<std::wstring> stored;
    for (const wstring* word : {&setting.orderFirst, &setting.orderSecond, &setting.orderThird, &setting.orderForth,
                                &setting.orderFifth, &setting.orderSixth})
        stored.insert(word->buffer());
    EXPECT_EQ(stored.size(), 6u) << "six different steps";
}
