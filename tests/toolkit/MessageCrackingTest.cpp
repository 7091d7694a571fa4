#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "ToolkitTestResources.h"
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/WindowRobot.h"
#include "toolkit/Control.h"
#include "toolkit/Dialog.h"
#include "toolkit/Edit.h"
#include "toolkit/UserWindow.h"

namespace {

// One handler call as the test reads it back: which handler, with what.
struct Call {
    std::string handler;
    long a = 0;
    long b = 0;
    long c = 0;
    bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call)
{
    return out << call.handler << "(" << call.a << ", " << call.b << ", " << call.c << ")";
}

constexpr UINT_PTR TimerId = 77;
constexpr LRESULT NotifyAnswer = 1234;

// Records the typed handlers it gets and what reaches handleMessage. Escape, the middle button and a timer
// of another id are left unhandled.
template <typename Base>
class Recorder : public Base {
public:
    bool onCreate(const CREATESTRUCTW& creation, bool& refuse) override
    {
        calls.push_back({"create", creation.cx, creation.cy});
        refuse = refuseCreation;
        return true;
    }
    bool onSize(UINT kind, const Size& client) override
    {
        calls.push_back({"size", static_cast<long>(kind), client.cx, client.cy});
        return true;
    }
    bool onContextMenu(HWND clicked, const Point& screen, bool fromKeyboard) override
    {
        calls.push_back({clicked == this->hwnd ? "menu here" : "menu", screen.x, screen.y, fromKeyboard});
        return true;
    }
    bool onButtonDown(MouseButton button, const Point& client, UINT keys) override
    {
        calls.push_back({"down", client.x, client.y, static_cast<long>(keys)});
        return button != MouseButton::Middle;
    }
    bool onDoubleClick(MouseButton button, const Point& client, UINT) override
    {
        calls.push_back({button == MouseButton::Right ? "right double" : "double", client.x, client.y});
        return true;
    }
    bool onMouseWheel(int delta, UINT keys, const Point& screen) override
    {
        calls.push_back({"wheel", delta, static_cast<long>(keys), screen.x});
        return true;
    }
    bool onKeyDown(UINT key, UINT repeat, UINT) override
    {
        calls.push_back({"key", static_cast<long>(key), static_cast<long>(repeat)});
        return key != VK_ESCAPE;
    }
    bool onTimer(UINT_PTR id) override
    {
        if (id == TimerId) {
            KillTimer(this->hwnd, id);
            throw Exception(4321);
        }
        return false;
    }
    bool onNotify(const NMHDR& header, LRESULT& result) override
    {
        calls.push_back({"notify", static_cast<long>(header.idFrom), static_cast<long>(header.code)});
        result = NotifyAnswer;
        return true;
    }
    bool onCtlColorStatic(HDC, HWND, HBRUSH& brush) override
    {
        brush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        return true;
    }
    bool onInitDialog(HWND focus) override
    {
        calls.push_back({"init", focus != nullptr && GetParent(focus) == this->hwnd});
        return true;
    }
    bool onInitMenu(HMENU menu) override
    {
        calls.push_back({"init menu"});
        menus.push_back(menu);
        return true;
    }
    bool onMenuSelect(UINT item, UINT flags, HMENU menu) override
    {
        calls.push_back({"menu select", static_cast<long>(item), static_cast<long>(flags)});
        menus.push_back(menu);
        return true;
    }
    // Halts only over the client area.
    bool onSetCursor(HWND pointed, UINT hitTest, UINT mouseMessage, bool& halt) override
    {
        calls.push_back({pointed == this->hwnd ? "cursor here" : "cursor", static_cast<long>(hitTest),
                         static_cast<long>(mouseMessage)});
        halt = hitTest == HTCLIENT;
        return true;
    }
    bool onEraseBackground(HDC dc) override
    {
        calls.push_back({"erase", dc != nullptr});
        return true;
    }
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        raw.push_back(message);
        return Base::handleMessage(window, message, wParam, lParam);
    }
    void onException(const Exception& exception) override { exceptionCodes.push_back(exception.getCode()); }

    std::vector<Call> calls;
    std::vector<HMENU> menus;
    std::vector<UINT> raw;
    std::vector<int> exceptionCodes;
    bool refuseCreation = false;
};

class CrackedWindow : public Recorder<UserWindow> {
public:
    HWND open()
    {
        return create(0, testWindowClass(), L"cracked", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                      nullptr);
    }
};

bool seen(const std::vector<UINT>& raw, UINT message)
{
    return std::find(raw.begin(), raw.end(), message) != raw.end();
}

NMHDR notification(HWND from)
{
    return NMHDR{from, 42, static_cast<UINT>(LVN_ITEMCHANGED)};
}

} // namespace

TEST(MessageCracking, AWindowsHandlersGetTheValuesItsMessagesCarry)
{
    CrackedWindow window;
    HWND handle = window.open();
    ASSERT_TRUE(handle);
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ(window.calls.front(), (Call{"create", 300, 200}));
    window.calls.clear();

    SendMessageW(handle, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480));
    // The keyboard's lParam is 0xFFFFFFFF whether or not it was sign-extended on the way.
    SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), static_cast<LPARAM>(0xFFFFFFFFu));
    SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), -1);
    // A monitor left of the primary one has negative x.
    SendMessageW(handle, WM_CONTEXTMENU, 0, MAKELPARAM(-20, 30));
    SendMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 7));
    SendMessageW(handle, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(3, -4));
    SendMessageW(handle, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -WHEEL_DELTA), MAKELPARAM(-100, 50));
    SendMessageW(handle, WM_KEYDOWN, VK_DELETE, MAKELPARAM(3, 0x53));
    NMHDR header = notification(handle);
    EXPECT_EQ(SendMessageW(handle, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&header)), NotifyAnswer);
    const std::vector<Call> expected = {
        {"size", SIZE_MAXIMIZED, 640, 480},
        {"menu here", -1, -1, true},
        {"menu here", -1, -1, true},
        {"menu", -20, 30, false},
        {"down", -5, 7, MK_LBUTTON | MK_SHIFT},
        {"right double", 3, -4},
        {"wheel", -WHEEL_DELTA, MK_CONTROL, -100},
        {"key", VK_DELETE, 3},
        {"notify", 42, static_cast<long>(LVN_ITEMCHANGED)},
    };
    EXPECT_EQ(window.calls, expected);
    for (UINT message : {WM_SIZE, WM_CONTEXTMENU, WM_LBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN, WM_NOTIFY})
        EXPECT_FALSE(seen(window.raw, message)) << "a handled message goes no further: " << message;

    // What a handler leaves goes on to handleMessage.
    SendMessageW(handle, WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageW(handle, WM_MBUTTONDOWN, MK_MBUTTON, 0);
    EXPECT_TRUE(seen(window.raw, WM_KEYDOWN));
    EXPECT_TRUE(seen(window.raw, WM_MBUTTONDOWN));

    // A real timer, and an exception of its handler that reaches the object, not the message loop.
    SetTimer(handle, TimerId, 10, nullptr);
    EXPECT_TRUE(pumpMessagesUntil([&] { return !window.exceptionCodes.empty(); }));
    EXPECT_EQ(window.exceptionCodes, std::vector<int>{4321});
}

TEST(MessageCracking, MenuCursorAndBackgroundHandlersGetTheirPartsAndGiveTheirAnswers)
{
    CrackedWindow window;
    HWND handle = window.open();
    ASSERT_TRUE(handle);
    window.calls.clear();
    HMENU menu = CreatePopupMenu();
    SendMessageW(handle, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(handle, WM_MENUSELECT, MAKEWPARAM(4102, MF_HILITE | MF_MOUSESELECT), reinterpret_cast<LPARAM>(menu));
    SendMessageW(handle, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(SendMessageW(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE)
        << "a child that asked first keeps the cursor set here";
    EXPECT_EQ(SendMessageW(handle, WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN)), FALSE);
    HDC dc = GetDC(handle);
    EXPECT_EQ(SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1) << "erased";
    ReleaseDC(handle, dc);
    DestroyMenu(menu);

    const std::vector<Call> expected = {
        {"init menu"},
        {"menu select", 4102, MF_HILITE | MF_MOUSESELECT},
        {"menu select", 0, 0xFFFF},
        {"cursor here", HTCLIENT, WM_MOUSEMOVE},
        {"cursor", HTCAPTION, WM_LBUTTONDOWN},
        {"erase", true},
    };
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(window.menus, (std::vector<HMENU>{menu, menu, nullptr})) << "the menu closing names none";
}

TEST(MessageCracking, ACreationTheHandlerRefusesFails)
{
    CrackedWindow window;
    window.refuseCreation = true;
    EXPECT_EQ(thrownCode([&] { window.open(); }), ErrorCode::WindowGone);
    EXPECT_EQ(window.getHandle(), nullptr);
}

namespace {

// A system edit control whose handlers take Delete and the left button, and leave the rest to the edit.
class CrackedEdit : public Recorder<Edit> {};

} // namespace

TEST(MessageCracking, AControlsHandledMessagesNeverReachTheWindowsOwnProcedure)
{
    ParentWindow parent;
    CrackedEdit edit;
    edit.create(parent.getHandle(), 5, Rect(0, 0, 200, 24), 0, ES_AUTOHSCROLL);
    edit.subclass();
    edit.setText(L"abc");
    SendMessageW(edit.getHandle(), EM_SETSEL, 0, 0);
    // Delete at the start would remove the "a"; the handler keeps the key from the edit.
    SendMessageW(edit.getHandle(), WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(std::wstring(edit.getText().buffer()), L"abc");
    // A character the handlers leave alone goes to the edit as before.
    SendMessageW(edit.getHandle(), WM_CHAR, L'x', 1);
    EXPECT_EQ(std::wstring(edit.getText().buffer()), L"xabc");
}

namespace {

class CrackedDialog : public Recorder<Dialog> {};

} // namespace

TEST(MessageCracking, ADialogsAnswersGoThroughItsMessageResultOrStraightBack)
{
    CrackedDialog dialog;
    HWND shown = dialog.create(nullptr, IDD_NAME_EXTENDED, nullptr, 0);
    ASSERT_TRUE(shown);
    ASSERT_FALSE(dialog.calls.empty());
    EXPECT_EQ(dialog.calls.front(), (Call{"init", true})) << "the focus the system offers is the dialog's control";

    NMHDR header = notification(shown);
    SetWindowLongPtrW(shown, DWLP_MSGRESULT, 0);
    EXPECT_EQ(SendMessageW(shown, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&header)), NotifyAnswer);
    EXPECT_EQ(GetWindowLongPtrW(shown, DWLP_MSGRESULT), NotifyAnswer);
    // A colour message's answer is the brush itself, not a message result.
    HDC dc = GetDC(shown);
    LRESULT brush = SendMessageW(shown, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(GetDlgItem(shown, IDC_PROMPT)));
    ReleaseDC(shown, dc);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(GRAY_BRUSH));
    dialog.destroy();
}
