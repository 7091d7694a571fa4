#pragma once
// A robot that plays the user of the windows under test. It runs a script on a thread of its own while the
// test's thread shows the windows (a modal dialog, a property sheet, a message box, or its own message
// loop): it waits for windows to appear, reads their texts, types, presses buttons, answers message boxes
// and takes screenshots. Every wait polls and gives up after the timeout with a test failure that says what
// it waited for; the robot then closes the windows left open, so the test's thread comes back instead of
// hanging in a modal loop.
//
//     WindowRobot robot([](WindowRobot& user) {
//         HWND dialog = user.waitForWindow(WindowQuery::dialog(L"設定"));
//         EXPECT_EQ(user.text(dialog, IDC_LABEL), L"名前:");
//         user.type(dialog, IDC_NAME, L"abc");
//         user.press(dialog, IDOK);
//     });
//     INT_PTR result = dialog.doModal(nullptr, IDD_SETTINGS, nullptr, 0);
//     robot.finish();
#include <windows.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Which top-level window of the test program to wait for; every criterion that is given must match.
struct WindowQuery {
    std::wstring className; // exact, e.g. L"#32770" for dialogs, sheets and message boxes
    std::wstring caption;   // the exact window text
    HWND owner = nullptr;   // the owner window

    static WindowQuery dialog(const std::wstring& caption = {}) { return {L"#32770", caption, nullptr}; }
    static WindowQuery ofClass(const std::wstring& className) { return {className, {}, nullptr}; }
    static WindowQuery ownedBy(HWND owner) { return {{}, {}, owner}; }

    bool matches(HWND window) const;
    std::wstring describe() const;
};

class WindowRobot {
public:
    using Script = std::function<void(WindowRobot&)>;
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    // Starts the script at once.
    explicit WindowRobot(Script script, std::chrono::milliseconds timeout = DefaultTimeout);
    WindowRobot(const WindowRobot&) = delete;
    WindowRobot& operator=(const WindowRobot&) = delete;
    ~WindowRobot();

    // On the test's thread, after the window code has returned: serves the thread's windows until the
    // script has ended and reports why it gave up, if it did, as a test failure. Waits still running give up
    // at once, since nothing more can appear.
    void finish();
    // True once the script has ended.
    bool isDone() const { return done; }

    // From now on the robot looks at the windows of that process (another program under test) instead of
    // this program's; 0 goes back to this program's.
    void watchProcess(DWORD processId) { watchedProcess = processId; }

    // ---- for the script, on the robot's thread ----

    // A visible top-level window of this program that matches.
    HWND waitForWindow(const WindowQuery& query);
    // The child of that id, once it exists.
    HWND waitForItem(HWND parent, int id);
    void waitUntilGone(HWND window);
    // Polls the condition; `what` names it in the failure.
    void waitUntil(const std::function<bool()>& condition, const std::wstring& what);

    std::wstring text(HWND window);
    std::wstring text(HWND parent, int id) { return text(waitForItem(parent, id)); }
    // The texts of the visible static controls of the window, in their order.
    std::vector<std::wstring> staticTexts(HWND window);
    // Replaces the edit's text by typing the characters into it, as the keyboard would.
    void type(HWND parent, int id, const std::wstring& characters);
    // Clicks the button once it is visible and enabled: its parent gets the click notification.
    void press(HWND parent, int id);
    // Waits for a message box (owned by the owner when given), presses the button (IDYES, IDNO, IDOK,
    // IDCANCEL, ...) and returns the box's text. With a screenshot name, the box is written there first.
    std::wstring answerMessageBox(int button, HWND owner = nullptr, const std::wstring& screenshotName = {});
    // Writes the window as it looks once it has painted to screenshots/<name>.png; returns the path.
    std::wstring screenshot(HWND window, const std::wstring& name);

    // Ends the script with a test failure.
    [[noreturn]] void fail(const std::wstring& why);

private:
    static DWORD WINAPI threadMain(void* robot);
    std::vector<HWND> windows() const;
    void runScript();
    void closeLeftoverWindows();
    LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Script script;
    std::chrono::milliseconds timeout;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    std::atomic<bool> done{false};
    std::atomic<bool> testThreadReturned{false};
    std::atomic<DWORD> watchedProcess{0};
    std::mutex failureLock;
    std::wstring failure;
    bool finished = false;
};

// For windows without a modal loop of their own: serves the calling thread's messages until the condition
// holds. False when it still does not after the timeout.
bool pumpMessagesUntil(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = WindowRobot::DefaultTimeout);

// Serves the calling thread's messages until all that was posted to it before the call has been handled: a
// marker posted behind them has come through. Paints, timers and input are not posted and may still be due.
// False when the marker has not come through within the timeout.
bool pumpPostedMessages(std::chrono::milliseconds timeout = WindowRobot::DefaultTimeout);

// Whether the system has the key down (or up, for false) as the test holds it; when not, presses (or lets go of)
// it again, as a hand that holds it does. Wine lets go of a key that only SendInput pressed whenever it handles
// a focus change from the X server (a window opened under the mouse, one closed just before), which no message
// announces. For the condition of pumpMessagesUntil: the system takes the key in as the thread's messages are
// served.
bool keyHeld(WORD key, bool down);
