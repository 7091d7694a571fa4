#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "toolkit/Control.h"
#include "toolkit/EventHandler.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr UINT Answer = WM_APP;
constexpr UINT ThrowException = WM_APP + 1;
constexpr UINT ThrowStd = WM_APP + 2;
constexpr UINT ThrowOther = WM_APP + 3;

// Throws what the test asks for; returns 42 + wParam to Answer.
LRESULT answerOrThrow(UINT message, WPARAM wParam)
{
    switch (message) {
    case ThrowException:
        throw Exception(1234);
    case ThrowStd:
        throw std::runtime_error("handler failed");
    case ThrowOther:
        throw 7;
    default:
        return 42 + static_cast<LRESULT>(wParam);
    }
}

// What reached the object of a window.
struct Record {
    std::vector<std::pair<int, int>> commands;
    int commandMessages = 0;
    std::vector<int> exceptionCodes;
    std::vector<std::string> stdMessages;
};

class RecordingWindow : public UserWindow {
public:
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE) {
            seenCreateParam = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
            return createResult;
        }
        if (message == WM_COMMAND)
            ++record.commandMessages;
        if (message >= Answer && message <= ThrowOther)
            return answerOrThrow(message, wParam);
        return UserWindow::handleMessage(window, message, wParam, lParam);
    }
    void onCommand(HWND, int id, int code) override { record.commands.push_back({id, code}); }
    void onException(const Exception& exception) override { record.exceptionCodes.push_back(exception.getCode()); }
    void onStdException(const std::exception& exception) override { record.stdMessages.push_back(exception.what()); }

    HWND open(void* param = nullptr)
    {
        return create(0, testWindowClass(), L"test", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr, param);
    }

    LRESULT createResult = 0;
    void* seenCreateParam = nullptr;
    Record record;
};

// A control class of the test's own whose window procedure counts what it gets.
struct CounterState {
    int destroys = 0;
    int answers = 0;
};
CounterState counter;

LRESULT CALLBACK counterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        ++counter.destroys;
    if (message == Answer) {
        ++counter.answers;
        return 7;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

inline constexpr wchar_t CounterClassName[] = L"KorvilaneCounter";
inline constexpr wchar_t CounterClassOtherCase[] = L"korvilanecounter";

void registerCounterClass()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = counterProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = CounterClassName;
    RegisterClassExW(&windowClass);
}

HWND counterWindow(HWND parent)
{
    return CreateWindowExW(0, CounterClassName, L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class CounterControl : public ClassControl<CounterClassName> {
public:
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == Answer)
            ++seen;
        if (message == ThrowException)
            throw Exception(99);
        if (message == WM_DESTROY && !passDestroyOn)
            return 0;
        return Control::handleMessage(window, message, wParam, lParam);
    }
    void onException(const Exception& exception) override { exceptionCode = exception.getCode(); }

    bool passDestroyOn = true;
    int seen = 0;
    int exceptionCode = 0;
};

class Dispatch : public testing::Test {
protected:
    void SetUp() override
    {
        registerCounterClass();
        counter = CounterState{};
    }
};

} // namespace

TEST_F(Dispatch, AWindowOfTheProgramsClassGetsItsMessagesThroughItsObject)
{
    RecordingWindow window;
    int param = 0;
    HWND handle = window.open(&param);
    ASSERT_TRUE(handle);
    EXPECT_EQ(window.seenCreateParam, &param) << "WM_CREATE shows the creation parameter";
    EXPECT_EQ(SendMessageW(handle, Answer, 1, 0), 43);
    SendMessageW(handle, WM_COMMAND, MAKEWPARAM(5, 9), 0);
    EXPECT_EQ(window.record.commands, (std::vector<std::pair<int, int>>{{5, 9}}));
    EXPECT_EQ(window.record.commandMessages, 1) << "the command also reaches handleMessage";
    MINMAXINFO info{};
    SendMessageW(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 100);
    EXPECT_EQ(info.ptMinTrackSize.y, 100);

    // After WM_DESTROY the object is free again and can make a new window.
    DestroyWindow(handle);
    EXPECT_EQ(window.getHandle(), nullptr);
    EXPECT_EQ(window.getCreateParam(), nullptr);
    EXPECT_TRUE(window.open());
    EXPECT_EQ(thrownCode([&] { window.open(); }), ErrorCode::InvalidState) << "a second window over a live one";

    // A class registered again counts as registered.
    WindowClass again;
    EXPECT_NE(again.registerClass(testWindowClass().windowClass.getName().buffer(), nullptr, 0, 0), 0);
}

TEST_F(Dispatch, CreationRefusedByTheHandlerFailsWithoutLeavingState)
{
    RecordingWindow window;
    window.createResult = -1;
    int param = 0;
    EXPECT_EQ(thrownCode([&] { window.open(&param); }), ErrorCode::WindowGone);
    EXPECT_EQ(window.getCreateParam(), nullptr);
    EXPECT_EQ(window.getHandle(), nullptr);
}

TEST_F(Dispatch, ExceptionsOfAHandlerReachTheObjectAndNeverTheSystem)
{
    RecordingWindow window;
    HWND handle = window.open();
    EXPECT_EQ(SendMessageW(handle, ThrowException, 0, 0), 0);
    EXPECT_EQ(SendMessageW(handle, ThrowStd, 0, 0), 0);
    EXPECT_EQ(SendMessageW(handle, ThrowOther, 0, 0), 0);
    EXPECT_EQ(window.record.exceptionCodes, std::vector<int>{1234});
    EXPECT_EQ(window.record.stdMessages, std::vector<std::string>{"handler failed"});
    // The window is unharmed, also when the exception came through the message loop.
    PostMessageW(handle, ThrowException, 0, 0);
    MSG message;
    while (PeekMessageW(&message, handle, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(window.record.exceptionCodes, (std::vector<int>{1234, 1234}));
    EXPECT_EQ(SendMessageW(handle, Answer, 0, 0), 42);
}

TEST_F(Dispatch, ClosingTheMainWindowEndsTheMessageLoop)
{
    MainWindow main;
    main.create(0, testWindowClass(), L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr);
    main.destroy();
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(Dispatch, AClosedWindowIsRefusedByEveryOperationButGetHandle)
{
    RecordingWindow window;
    HWND handle = window.open();
    window.postMessage(Answer, 5);
    MSG posted;
    ASSERT_TRUE(PeekMessageW(&posted, handle, Answer, Answer, PM_REMOVE));
    EXPECT_EQ(posted.lParam, 0);
    EXPECT_EQ(thrownCode([&] { window.getDlgItem(77); }), ErrorCode::WindowGone) << "a missing item";

    DestroyWindow(handle);
    EXPECT_EQ(window.getHandle(), nullptr);
    const std::vector<std::function<void()>> operations = {
        [&] { window.getStyle(); }, [&] { window.modifyStyle(0, WS_BORDER); }, [&] { window.setExStyle(0, 0); },
        [&] { window.setText(L"x"); }, [&] { window.getText(); }, [&] { window.setBounds(0, 0, 1, 1); },
        [&] { window.setPosition(0, 0); }, [&] { window.setSize(1, 1); }, [&] { window.setFocus(); },
        [&] { window.invalidate(); }, [&] { window.show(SW_SHOW); }, [&] { window.enable(true); },
        [&] { window.isVisible(); }, [&] { window.isEnabled(); }, [&] { window.getDlgItem(1); },
        [&] { window.sendMessage(WM_NULL); }, [&] { window.postMessage(WM_NULL); },
        [&] { window.getWindowRect(); }, [&] { window.getClientRect(); }, [&] { window.screenToClient(Point()); },
    };
    for (size_t i = 0; i < operations.size(); ++i)
        EXPECT_EQ(thrownCode(operations[i]), ErrorCode::WindowGone) << "operation " << i;
    Point point = pointFromLParam(MAKELPARAM(-5, -300));
    EXPECT_EQ(point.x, -5) << "mouse points keep their sign";
    EXPECT_EQ(point.y, -300);
}

TEST_F(Dispatch, ASubclassedControlSeesItsMessagesAndTheWindowsOwnProcedureStillServes)
{
    ParentWindow parent;
    HWND handle = counterWindow(parent.getHandle());
    CounterControl control;
    EXPECT_EQ(control.attach(handle), nullptr);
    control.subclass();
    control.subclass(); // twice changes nothing
    EXPECT_EQ(SendMessageW(handle, Answer, 0, 0), 7) << "the answer comes from the window's own procedure";
    EXPECT_EQ(control.seen, 1);
    EXPECT_EQ(counter.answers, 1);
    EXPECT_EQ(SendMessageW(handle, ThrowException, 0, 0), 0);
    EXPECT_EQ(control.exceptionCode, 99);

    DestroyWindow(handle);
    EXPECT_EQ(counter.destroys, 1) << "passed on by the handler, not a second time by the toolkit";
    EXPECT_EQ(control.getHandle(), nullptr);
    EXPECT_FALSE(control.isSubclassed());

    // A handler that keeps WM_DESTROY to itself: the window's procedure still gets it once.
    handle = counterWindow(parent.getHandle());
    control.attach(handle);
    control.subclass();
    control.passDestroyOn = false;
    DestroyWindow(handle);
    EXPECT_EQ(counter.destroys, 2);
}

TEST_F(Dispatch, AControlFoundThroughAPropertyLeavesTheWindowsUserDataAlone)
{
    ParentWindow parent;
    HWND handle = counterWindow(parent.getHandle());
    SetWindowLongPtrW(handle, GWLP_USERDATA, 1234);
    CounterControl control;
    control.attach(handle);
    control.subclassKeepingUserData();
    EXPECT_EQ(SendMessageW(handle, Answer, 0, 0), 7);
    EXPECT_EQ(control.seen, 1);
    EXPECT_EQ(GetWindowLongPtrW(handle, GWLP_USERDATA), 1234) << "the window's own state stays";

    control.attach(nullptr);
    EXPECT_EQ(GetWindowLongPtrW(handle, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(counterProcedure));
    SendMessageW(handle, Answer, 0, 0);
    EXPECT_EQ(control.seen, 1) << "given back";
    control.attach(handle);
    control.subclassKeepingUserData();
    DestroyWindow(handle);
    EXPECT_EQ(counter.destroys, 1);
    EXPECT_EQ(control.getHandle(), nullptr);
    EXPECT_FALSE(control.isSubclassed());
}

TEST_F(Dispatch, AControlObjectGivesTheWindowBackWhenItGoes)
{
    ParentWindow parent;
    HWND handle = counterWindow(parent.getHandle());
    {
        CounterControl control;
        control.attach(handle);
        control.subclass();
        EXPECT_NE(GetWindowLongPtrW(handle, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(counterProcedure));
    }
    EXPECT_TRUE(IsWindow(handle)) << "a control object never destroys its window";
    EXPECT_EQ(GetWindowLongPtrW(handle, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(counterProcedure));
    EXPECT_EQ(GetWindowLongPtrW(handle, GWLP_USERDATA), 0);
    EXPECT_EQ(SendMessageW(handle, Answer, 0, 0), 7);
}

TEST_F(Dispatch, AttachChecksTheClassExactlyWhileTheChildSearchIgnoresCase)
{
    ParentWindow parent;
    EXPECT_EQ(findChildByClass(parent.getHandle(), CounterClassName), nullptr) << "no children at all";
    HWND group = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, parent.getHandle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    HWND nested = counterWindow(group);
    EXPECT_EQ(findChildByClass(parent.getHandle(), CounterClassOtherCase), nested);
    EXPECT_EQ(findChildByClass(parent.getHandle(), L"Button"), nullptr);

    ClassControl<CounterClassOtherCase> otherCase;
    EXPECT_EQ(thrownCode([&] { otherCase.attach(nested); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(otherCase.getHandle(), nullptr);
    CounterControl exact;
    exact.attach(nested);
    EXPECT_EQ(exact.attach(nullptr), nested) << "attach answers the window bound before";
    EXPECT_EQ(thrownCode([&] { exact.create(nullptr, 1, Rect(0, 0, 5, 5), 0, 0); }), ErrorCode::InvalidArgument);
    exact.create(parent.getHandle(), 1, Rect(0, 0, 5, 5), 0, 0);
    EXPECT_EQ(thrownCode([&] { exact.create(parent.getHandle(), 2, Rect(), 0, 0); }), ErrorCode::InvalidState);
}

namespace {

struct ValueArgs : EventArgs {
    int value = 0;
};

struct Listener {
    void changed(Window* sender, ValueArgs& args)
    {
        this->sender = sender;
        values.push_back(args.value);
    }
    Window* sender = nullptr;
    std::vector<int> values;
};

} // namespace

TEST(EventHandler, ABoundHandlerCallsItsOwnerAndOutlivesTheHolderItCameFrom)
{
    Listener listener;
    EventHandler<ValueArgs> kept;
    ValueArgs args;
    args.value = 3;
    kept.raiseEvent(nullptr, &args); // nothing bound: nothing happens
    kept.raiseEvent(nullptr, nullptr);
    kept = setEvent(&listener, &Listener::changed); // from a temporary
    RecordingWindow sender;
    kept.raiseEvent(&sender, &args);
    EXPECT_EQ(listener.values, std::vector<int>{3});
    EXPECT_EQ(listener.sender, &sender);
    EXPECT_EQ(thrownCode([&] { kept.raiseEvent(&sender, nullptr); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(thrownCode([] { setEvent<ValueArgs, Listener>(nullptr, &Listener::changed); }),
              ErrorCode::InvalidArgument);
    kept.unbind();
    kept.raiseEvent(&sender, &args);
    EXPECT_EQ(listener.values.size(), 1u);
}
