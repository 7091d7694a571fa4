#include <gtest/gtest.h>
#include <vector>
#include "ToolkitTestResources.h"
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"
#include "toolkit/CommonControls.h"
#include "toolkit/PopMenu.h"
#include "toolkit/Rebar.h"
#include "toolkit/Statusbar.h"
#include "toolkit/SystemImageList.h"
#include "toolkit/Toolbar.h"

namespace {

// A shown top-level window that remembers the commands its children send.
class CommandWindow : public ParentWindow {
public:
    CommandWindow() { setBounds(40, 40, 520, 200); show(true); }
    void onCommand(HWND, int id, int) override { commands.push_back(id); }

    std::vector<int> commands;
};

// The button record size that toolbars made on this thread are told. Wine steps through button arrays by its
// own record size whatever it is told; Windows steps by the size told.
WPARAM toldRecordSize = 0;

LRESULT CALLBACK watchRecordSize(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == TB_BUTTONSTRUCTSIZE)
        toldRecordSize = message->wParam;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(BarsAndMenus, EveryToolbarButtonSendsItsOwnCommandAndTheStatusBarShowsTwoParts)
{
    initBarControls();
    CommandWindow window;
    Rebar rebar;
    rebar.create(window.getHandle(), 40, Rect(0, 0, 500, 30), 0, RBS_VARHEIGHT | CCS_NODIVIDER);
    Toolbar toolbar;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, watchRecordSize, nullptr, GetCurrentThreadId());
    toolbar.create(rebar.getHandle(), 50, Rect(), 0, CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(toldRecordSize, sizeof(TBBUTTON)) << "the stride of the button arrays";
    EXPECT_EQ(toolbar.getStyle() & (TBSTYLE_FLAT | TBSTYLE_TRANSPARENT), DWORD(TBSTYLE_FLAT | TBSTYLE_TRANSPARENT));
    EXPECT_EQ(toolbar.addBitmap(TBADDBITMAP{HINST_COMMCTRL, IDB_STD_SMALL_COLOR}), 0);
    // Every fifth place is a separator, which has no command.
    std::vector<TBBUTTON> buttons(24);
    std::vector<int> expected;
    for (int i = 0; i < 24; ++i) {
        bool separator = i % 5 == 4;
        buttons[i] = {i % (STD_PRINT + 1), separator ? 0 : 4100 + i, TBSTATE_ENABLED,
                      BYTE(separator ? BTNS_SEP : BTNS_BUTTON)};
        if (!separator)
            expected.push_back(4100 + i);
    }
    ASSERT_TRUE(toolbar.addButtons(24, buttons.data()));
    REBARBANDINFOW band{};
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE;
    band.hwndChild = toolbar.getHandle();
    band.cyMinChild = 24;
    ASSERT_TRUE(rebar.insertBand(band));
    // Clicked one by one; the rebar passes its toolbar's commands on to the window.
    for (int i = 0; i < 24; ++i) {
        RECT area;
        toolbar.sendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&area));
        LPARAM centre = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        toolbar.sendMessage(WM_LBUTTONDOWN, MK_LBUTTON, centre);
        toolbar.sendMessage(WM_LBUTTONUP, 0, centre);
    }
    EXPECT_EQ(window.commands, expected);

    Statusbar status;
    status.create(window.getHandle(), 60, Rect(), 0, SBARS_SIZEGRIP);
    EXPECT_EQ(thrownCode([&] { status.create(window.getHandle(), 61, Rect(), 0, 0); }), ErrorCode::InvalidState);
    ASSERT_TRUE(status.setParts({260, -1}));
    int edges[2] = {};
    EXPECT_EQ(status.sendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 260);
    EXPECT_TRUE(status.setText(0, L"12 個のファイル"));
    EXPECT_TRUE(status.setText(1 | SBT_NOBORDERS, L"ESCで中断"));
    wchar_t text[32] = L"";
    LRESULT lengthAndKind = status.sendMessage(SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"ESCで中断");
    EXPECT_EQ(HIWORD(lengthAndKind) & SBT_NOBORDERS, SBT_NOBORDERS);
    EXPECT_FALSE(saveWindowScreenshot(window.getHandle(), L"toolbar-and-status-bar").empty());
}

TEST(BarsAndMenus, TheShellsIconListIsBorrowed)
{
    SystemImageList icons;
    int width = 0, height = 0;
    ImageList_GetIconSize(icons.handle(), &width, &height);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_GE(icons.iconIndex(windows), 0);
    EXPECT_EQ(thrownCode([&] { icons.iconIndex(L"C:\\no such folder\\x.lay"); }), static_cast<int>(E_FAIL));
}

TEST(BarsAndMenus, ContextMenuIsTheFirstPopUpOfItsResource)
{
    PopMenu menu;
    ASSERT_NE(menu.loadContextMenu(GetModuleHandleW(nullptr)), nullptr);
    EXPECT_EQ(GetMenuItemID(menu.handle(), 0), UINT(IDM_POSITION_FIRST)) << "alive after its bar was destroyed";
    EXPECT_EQ(menu.loadContextMenu(GetModuleHandleW(nullptr), IDM_CONTEXT_FLAT), nullptr);
    EXPECT_EQ(menu.handle(), nullptr);
}

TEST(BarsAndMenus, ContextMenuOpensAtTheMouseInTheClientAreaOrAtItsCornerFromTheKeyboard)
{
    CommandWindow window;
    // Partly left of the primary screen, where mouse points have negative coordinates.
    window.setBounds(-200, 100, 400, 300);
    POINT origin{0, 0}, at{};
    ClientToScreen(window.getHandle(), &origin);
    ASSERT_TRUE(PopMenu::trackPoint(-1, window.getHandle(), at));
    EXPECT_EQ(at.x, origin.x);
    EXPECT_EQ(at.y, origin.y);
    ASSERT_TRUE(PopMenu::trackPoint(MAKELPARAM(origin.x + 150, origin.y + 20), window.getHandle(), at));
    EXPECT_EQ(at.x, origin.x + 150) << "a point left of the screen is a mouse point";
    RECT frame;
    GetWindowRect(window.getHandle(), &frame);
    EXPECT_FALSE(PopMenu::trackPoint(MAKELPARAM(frame.left + 150, frame.top + 2), window.getHandle(), at))
        << "the caption is no client area";
    EXPECT_FALSE(PopMenu::trackPoint(Point(frame.left + 150, frame.top + 2), false, window.getHandle(), at));
    ASSERT_TRUE(PopMenu::trackPoint(Point(origin.x + 150, origin.y + 20), false, window.getHandle(), at));
    EXPECT_EQ(at.x, origin.x + 150) << "as a context-menu handler hands the point over";

    PopMenu menu;
    menu.loadContextMenu(GetModuleHandleW(nullptr));
    WindowRobot robot([](WindowRobot& user) {
        HWND popup = user.waitForWindow(WindowQuery::ofClass(L"#32768"));
        user.screenshot(popup, L"context-menu");
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
            PostMessageW(popup, WM_KEYDOWN, key, 0);
    });
    EXPECT_TRUE(menu.track(-1, window.getHandle()));
    robot.finish();
    ASSERT_TRUE(pumpMessagesUntil([&] { return !window.commands.empty(); }));
    EXPECT_EQ(window.commands.front(), IDM_POSITION_FIRST + 1) << "the second item";
}
