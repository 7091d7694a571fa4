#include <gtest/gtest.h>
#include <vector>
#include "ToolkitTestResources.h"
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/Screenshot.h"
#include "support/WindowRobot.h"
#include "toolkit/CommonControls.h"
#include "toolkit/ImageList.h"
#include "toolkit/PopMenu.h"
#include "toolkit/Rebar.h"
#include "toolkit/Statusbar.h"
#include "toolkit/SystemImageList.h"
#include "toolkit/Toolbar.h"

namespace {

constexpr int FirstCommand = 4100;
constexpr int ButtonCount = 24;

// A shown top-level window that remembers the commands its children send.
class CommandWindow : public ParentWindow {
public:
    CommandWindow() { show(true); }
    void onCommand(HWND, int id, int) override { commands.push_back(id); }

    std::vector<int> commands;
};

// Buttons with the standard pictures; every fifth place is a separator, which has no command.
std::vector<TBBUTTON> toolbarButtons()
{
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < ButtonCount; ++i) {
        TBBUTTON button{};
        button.iBitmap = i % (STD_PRINT + 1);
        button.idCommand = i % 5 == 4 ? 0 : FirstCommand + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = i % 5 == 4 ? BTNS_SEP : BTNS_BUTTON;
        buttons.push_back(button);
    }
    return buttons;
}

// The button record size that toolbars made on this thread are told while the object lives. Wine steps
// through button arrays by its own record size whatever it is told; Windows steps by the size told.
class ToldRecordSize {
public:
    ToldRecordSize() { hook = SetWindowsHookExW(WH_CALLWNDPROC, watch, nullptr, GetCurrentThreadId()); }
    ToldRecordSize(const ToldRecordSize&) = delete;
    ToldRecordSize& operator=(const ToldRecordSize&) = delete;
    ~ToldRecordSize() { UnhookWindowsHookEx(hook); }
    static WPARAM size() { return told; }

private:
    static LRESULT CALLBACK watch(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == TB_BUTTONSTRUCTSIZE)
            told = message->wParam;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline WPARAM told = 0;
    HHOOK hook;
};

void click(HWND window, const RECT& area)
{
    LPARAM centre = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(window, WM_LBUTTONUP, 0, centre);
}

std::wstring statusText(HWND status, int part)
{
    wchar_t text[128] = L"";
    SendMessageW(status, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

class BarsAndMenus : public testing::Test {
protected:
    static void SetUpTestSuite() { initBarControls(); }
    HWND parentHandle() const { return window.getHandle(); }

    CommandWindow window;
};

} // namespace

TEST_F(BarsAndMenus, EveryButtonOfALongToolbarSendsItsOwnCommand)
{
    Rebar rebar;
    rebar.create(parentHandle(), 40, Rect(0, 0, 400, 30), 0, RBS_VARHEIGHT | CCS_NODIVIDER);
    Toolbar toolbar;
    {
        ToldRecordSize told;
        toolbar.create(rebar.getHandle(), 50, Rect(), 0, CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN);
        EXPECT_EQ(told.size(), sizeof(TBBUTTON)) << "the stride of the button arrays";
    }
    EXPECT_EQ(toolbar.getStyle() & (TBSTYLE_FLAT | TBSTYLE_TRANSPARENT), DWORD(TBSTYLE_FLAT | TBSTYLE_TRANSPARENT));
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    EXPECT_EQ(toolbar.addBitmap(standard), 0);
    std::vector<TBBUTTON> buttons = toolbarButtons();
    ASSERT_TRUE(toolbar.addButtons(ButtonCount, buttons.data()));
    ASSERT_EQ(toolbar.sendMessage(TB_BUTTONCOUNT), ButtonCount);

    REBARBANDINFOW band{};
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.hwndChild = toolbar.getHandle();
    band.cyMinChild = 24;
    band.cx = 600;
    ASSERT_TRUE(rebar.insertBand(band));
    band.fMask = RBBIM_SIZE;
    band.cx = 640;
    EXPECT_TRUE(rebar.setBandInfo(band));
    EXPECT_EQ(rebar.sendMessage(RB_GETBANDCOUNT), 1);

    // The rebar passes its toolbar's commands on to the window.
    for (int i = 0; i < ButtonCount; ++i) {
        TBBUTTON read{};
        ASSERT_TRUE(toolbar.sendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&read)));
        EXPECT_EQ(read.idCommand, buttons[i].idCommand) << "button " << i;
        RECT area;
        toolbar.sendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&area));
        click(toolbar.getHandle(), area);
    }
    std::vector<int> expected;
    for (const TBBUTTON& button : buttons)
        if (button.idCommand)
            expected.push_back(button.idCommand);
    EXPECT_EQ(window.commands, expected);
}

TEST_F(BarsAndMenus, StatusBarShowsTwoPartsUnderTheToolbar)
{
    window.setBounds(40, 40, 520, 200);
    Rebar rebar;
    rebar.create(parentHandle(), 40, Rect(0, 0, 500, 30), 0, RBS_VARHEIGHT | CCS_NODIVIDER);
    Toolbar toolbar;
    toolbar.create(rebar.getHandle(), 50, Rect(), 0, CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN);
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    toolbar.addBitmap(standard);
    std::vector<TBBUTTON> buttons = toolbarButtons();
    toolbar.addButtons(ButtonCount, buttons.data());
    REBARBANDINFOW band{};
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE;
    band.hwndChild = toolbar.getHandle();
    band.cyMinChild = 24;
    rebar.insertBand(band);

    Statusbar status;
    status.create(parentHandle(), 60, Rect(), 0, SBARS_SIZEGRIP);
    EXPECT_EQ(thrownCode([&] { status.create(parentHandle(), 61, Rect(), 0, 0); }), ErrorCode::InvalidState);
    Statusbar orphan;
    EXPECT_EQ(thrownCode([&] { orphan.create(nullptr, 61, Rect(), 0, 0); }), ErrorCode::InvalidArgument);

    ASSERT_TRUE(status.setParts({260, -1}));
    int edges[2] = {};
    EXPECT_EQ(status.sendMessage(SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 260);
    EXPECT_EQ(edges[1], -1);
    EXPECT_TRUE(status.setText(0, L"12 個のファイル"));
    EXPECT_TRUE(status.setText(1 | SBT_NOBORDERS, L"ESCで中断"));
    EXPECT_EQ(statusText(status.getHandle(), 0), L"12 個のファイル");
    EXPECT_EQ(statusText(status.getHandle(), 1), L"ESCで中断");
    EXPECT_EQ(HIWORD(status.sendMessage(SB_GETTEXTLENGTHW, 1)) & SBT_NOBORDERS, SBT_NOBORDERS);

    EXPECT_FALSE(saveWindowScreenshot(parentHandle(), L"toolbar-and-status-bar").empty());
}

TEST_F(BarsAndMenus, ImageListsHoldTheirOwnAndBorrowTheShells)
{
    ImageList list;
    EXPECT_FALSE(list.release()) << "nothing held";
    list.attach(ImageList_Create(16, 16, ILC_COLOR32, 1, 1));
    EXPECT_TRUE(list.release());
    EXPECT_EQ(list.handle(), nullptr);

    SystemImageList icons;
    ASSERT_NE(icons.handle(), nullptr);
    int width = 0, height = 0;
    ImageList_GetIconSize(icons.handle(), &width, &height);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_GE(icons.iconIndex(windows), 0);
    EXPECT_EQ(thrownCode([&] { icons.iconIndex(L"C:\\no such folder\\x.lay"); }), static_cast<int>(E_FAIL));
}

TEST_F(BarsAndMenus, ContextMenuComesFromTheFirstPopUpOfTheResource)
{
    PopMenu menu;
    ASSERT_NE(menu.loadContextMenu(GetModuleHandleW(nullptr)), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu.handle()), 4);
    EXPECT_EQ(GetMenuItemID(menu.handle(), 0), UINT(IDM_POSITION_FIRST)) << "alive after its bar was destroyed";
    EXPECT_EQ(menu.loadContextMenu(GetModuleHandleW(nullptr), IDM_CONTEXT_FLAT), nullptr);
    EXPECT_EQ(menu.handle(), nullptr);
    EXPECT_EQ(menu.loadContextMenu(GetModuleHandleW(nullptr), 9999), nullptr);

    ASSERT_NE(menu.createPopup(), nullptr);
    EXPECT_TRUE(menu.insertItem(0, 4201, L"削除"));
    EXPECT_TRUE(menu.insertSeparator());
    EXPECT_TRUE(menu.insertSubMenu(CreatePopupMenu(), L"送る"));
    EXPECT_NE(GetSubMenu(menu.handle(), 0), nullptr) << "separator and submenu go on top";
    EXPECT_EQ(GetMenuState(menu.handle(), 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_TRUE(menu.enableItem(4201, false, false));
    EXPECT_EQ(GetMenuState(menu.handle(), 4201, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
    EXPECT_TRUE(menu.enableItem(2, true, true));
    EXPECT_EQ(GetMenuState(menu.handle(), 4201, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(BarsAndMenus, ContextMenuOpensAtTheMouseInsideTheClientAreaOrAtItsCornerFromTheKeyboard)
{
    // Partly left of the primary screen, where mouse points have negative coordinates.
    window.setBounds(-200, 100, 400, 300);
    POINT origin{0, 0};
    ClientToScreen(parentHandle(), &origin);
    POINT at{};
    ASSERT_TRUE(PopMenu::trackPoint(-1, parentHandle(), at));
    EXPECT_EQ(at.x, origin.x);
    EXPECT_EQ(at.y, origin.y);

    POINT inside{origin.x + 150, origin.y + 20};
    ASSERT_LT(inside.x, 0);
    ASSERT_TRUE(PopMenu::trackPoint(MAKELPARAM(inside.x, inside.y), parentHandle(), at));
    EXPECT_EQ(at.x, inside.x) << "a point left of the screen is a mouse point";
    EXPECT_EQ(at.y, inside.y);

    RECT frame;
    GetWindowRect(parentHandle(), &frame);
    EXPECT_FALSE(PopMenu::trackPoint(MAKELPARAM(frame.left + 150, frame.top + 2), parentHandle(), at))
        << "the caption is no client area";
}

TEST_F(BarsAndMenus, CommandChosenInAContextMenuReachesTheWindow)
{
    PopMenu menu;
    menu.loadContextMenu(GetModuleHandleW(nullptr));
    WindowRobot robot([](WindowRobot& user) {
        HWND popup = user.waitForWindow(WindowQuery::ofClass(L"#32768"));
        user.screenshot(popup, L"context-menu");
        // Down twice selects the second item; Enter chooses it.
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
            PostMessageW(popup, WM_KEYDOWN, key, 0);
    });
    EXPECT_TRUE(menu.track(-1, parentHandle()));
    robot.finish();
    ASSERT_TRUE(pumpMessagesUntil([&] { return !window.commands.empty(); }));
    EXPECT_EQ(window.commands.front(), IDM_POSITION_FIRST + 1);
}
