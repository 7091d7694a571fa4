#include "support/WindowRobot.h"
#include <gtest/gtest.h>
#include <string>
#include "foundation/Exception.h"
#include "support/Screenshot.h"

namespace {

// How often a wait looks again.
constexpr DWORD PollInterval = 20;
// The id of a message box's text, the same on every system.
constexpr int MessageBoxTextId = 0xFFFF;

// Thrown through the script when the robot gives up; the failure is already recorded.
struct RobotGaveUp {};

std::wstring className(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring widen(const char* text)
{
    std::wstring wide;
    for (; *text; ++text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

bool isVisibleTopLevelOf(HWND window, DWORD wantedProcess, DWORD skippedThread)
{
    DWORD process = 0;
    DWORD thread = GetWindowThreadProcessId(window, &process);
    return process == wantedProcess && thread != skippedThread && IsWindowVisible(window);
}

// The visible top-level windows of the process in z-order, except those of one thread.
std::vector<HWND> visibleWindows(DWORD process, DWORD skippedThread)
{
    struct Search {
        DWORD process;
        DWORD skippedThread;
        std::vector<HWND> found;
    } search{process, skippedThread, {}};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            if (isVisibleTopLevelOf(window, search->process, search->skippedThread))
                search->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> visibleChildrenOfClass(HWND parent, const wchar_t* wanted)
{
    struct Search {
        HWND parent;
        const wchar_t* wanted;
        std::vector<HWND> found;
    } search{parent, wanted, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            if (GetParent(child) == search->parent && IsWindowVisible(child) &&
                lstrcmpiW(className(child).c_str(), search->wanted) == 0)
                search->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring describeWindow(HWND window)
{
    wchar_t caption[256] = L"";
    GetWindowTextW(window, caption, 256);
    return L"\"" + std::wstring(caption) + L"\" (" + className(window) + L")";
}

} // namespace

bool WindowQuery::matches(HWND window) const
{
    if (!className.empty() && className != ::className(window))
        return false;
    if (owner && GetWindow(window, GW_OWNER) != owner)
        return false;
    if (caption.empty())
        return true;
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return caption == text;
}

std::wstring WindowQuery::describe() const
{
    std::wstring description = L"a window";
    if (!className.empty())
        description += L" of class " + className;
    if (!caption.empty())
        description += L" captioned \"" + caption + L"\"";
    if (owner)
        description += L" owned by " + describeWindow(owner);
    return description;
}

WindowRobot::WindowRobot(Script script, std::chrono::milliseconds timeout)
    : script(std::move(script)), timeout(timeout)
{
    thread = CreateThread(nullptr, 0, threadMain, this, 0, &threadId);
    if (!thread) {
        failure = L"the robot's thread could not start";
        done = true;
    }
}

WindowRobot::~WindowRobot()
{
    finish();
}

std::vector<HWND> WindowRobot::windows() const
{
    DWORD process = watchedProcess;
    return visibleWindows(process ? process : GetCurrentProcessId(), threadId);
}

DWORD WINAPI WindowRobot::threadMain(void* robot)
{
    static_cast<WindowRobot*>(robot)->runScript();
    return 0;
}

void WindowRobot::runScript()
{
    try {
        script(*this);
    } catch (const RobotGaveUp&) {
    } catch (const Exception& exception) {
        std::lock_guard<std::mutex> hold(failureLock);
        failure = L"the script threw Exception " + std::to_wstring(exception.getCode());
    } catch (const std::exception& exception) {
        std::lock_guard<std::mutex> hold(failureLock);
        failure = L"the script threw: " + widen(exception.what());
    } catch (...) {
        std::lock_guard<std::mutex> hold(failureLock);
        failure = L"the script threw an unknown exception";
    }
    bool failed;
    {
        std::lock_guard<std::mutex> hold(failureLock);
        failed = !failure.empty();
    }
    if (failed)
        closeLeftoverWindows();
    done = true;
}

void WindowRobot::finish()
{
    if (finished)
        return;
    finished = true;
    testThreadReturned = true;
    if (thread) {
        // The script may still need the windows of this thread to answer.
        pumpMessagesUntil([this] { return isDone(); }, timeout * 2 + std::chrono::seconds(5));
        if (!done) {
            // A script stuck beyond every time-out cannot be stopped safely: end the run rather than hang.
            std::fputs("WindowRobot: the robot's script does not end; stopping the test program\n", stderr);
            std::fflush(stderr);
            ExitProcess(3);
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    std::lock_guard<std::mutex> hold(failureLock);
    if (!failure.empty())
        ADD_FAILURE() << "WindowRobot: " << failure;
}

void WindowRobot::fail(const std::wstring& why)
{
    {
        std::lock_guard<std::mutex> hold(failureLock);
        if (failure.empty())
            failure = why;
    }
    throw RobotGaveUp();
}

void WindowRobot::waitUntil(const std::function<bool()>& condition, const std::wstring& what)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return;
        if (testThreadReturned)
            fail(L"gave up waiting for " + what + L": the test had already left the window code");
        if (std::chrono::steady_clock::now() >= deadline)
            fail(L"gave up after " + std::to_wstring(timeout.count()) + L" ms waiting for " + what);
        Sleep(PollInterval);
    }
}

HWND WindowRobot::waitForWindow(const WindowQuery& query)
{
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : windows())
                if (query.matches(window))
                    return (found = window) != nullptr;
            return false;
        },
        query.describe());
    return found;
}

HWND WindowRobot::waitForItem(HWND parent, int id)
{
    HWND item = nullptr;
    waitUntil(
        [&] {
            if (!IsWindow(parent))
                fail(L"the window that should hold item " + std::to_wstring(id) + L" is gone");
            return (item = GetDlgItem(parent, id)) != nullptr;
        },
        L"item " + std::to_wstring(id) + L" of " + describeWindow(parent));
    return item;
}

void WindowRobot::waitUntilGone(HWND window)
{
    std::wstring description = describeWindow(window);
    waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, description + L" to close");
}

LRESULT WindowRobot::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(timeout.count()),
                             &result)) {
        if (!IsWindow(window))
            fail(L"a window closed while the robot was using it");
        fail(L"window " + describeWindow(window) + L" did not answer message " + std::to_wstring(message) +
             L" within " + std::to_wstring(timeout.count()) + L" ms");
    }
    return static_cast<LRESULT>(result);
}

std::wstring WindowRobot::text(HWND window)
{
    int length = static_cast<int>(send(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = static_cast<int>(send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}

std::vector<std::wstring> WindowRobot::staticTexts(HWND window)
{
    std::vector<std::wstring> texts;
    for (HWND label : visibleChildrenOfClass(window, L"Static"))
        texts.push_back(text(label));
    return texts;
}

void WindowRobot::type(HWND parent, int id, const std::wstring& characters)
{
    HWND edit = waitForItem(parent, id);
    waitUntil([&] { return IsWindowVisible(edit) && IsWindowEnabled(edit); },
              L"edit " + std::to_wstring(id) + L" to take input");
    send(edit, EM_SETSEL, 0, -1);
    if (characters.empty())
        send(edit, WM_CLEAR, 0, 0);
    // Sent one by one, so the text is complete when this returns.
    for (wchar_t character : characters)
        send(edit, WM_CHAR, character, 1);
}

void WindowRobot::press(HWND parent, int id)
{
    HWND button = waitForItem(parent, id);
    waitUntil([&] { return IsWindowVisible(button) && IsWindowEnabled(button); },
              L"button " + std::to_wstring(id) + L" of " + describeWindow(parent) + L" to be visible and enabled");
    // Posted: the handler may open a modal window that only this robot can close.
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::wstring WindowRobot::answerMessageBox(int button, HWND owner, const std::wstring& screenshotName)
{
    HWND box = nullptr;
    waitUntil(
        [&] {
            for (HWND window : windows()) {
                if (className(window) == L"#32770" && GetDlgItem(window, MessageBoxTextId) &&
                    (!owner || GetWindow(window, GW_OWNER) == owner))
                    return (box = window) != nullptr;
            }
            return false;
        },
        owner ? L"a message box owned by " + describeWindow(owner) : std::wstring(L"a message box"));
    std::wstring said = text(GetDlgItem(box, MessageBoxTextId));
    if (!screenshotName.empty())
        screenshot(box, screenshotName);
    if (!GetDlgItem(box, button))
        fail(L"the message box \"" + said + L"\" has no button " + std::to_wstring(button));
    press(box, button);
    waitUntilGone(box);
    return said;
}

std::wstring WindowRobot::screenshot(HWND window, const std::wstring& name)
{
    if (!IsWindow(window))
        fail(L"no window to take a screenshot of");
    std::wstring path = saveWindowScreenshot(window, name);
    if (path.empty())
        fail(L"no screenshot of " + describeWindow(window) + L" could be written");
    return path;
}

void WindowRobot::closeLeftoverWindows()
{
    // Cancel first, as a user would; a modal loop left open would keep the test's thread from returning. On a
    // loaded machine the window may appear only after the robot gave up, so keep watching until the test's
    // thread is back (finish() says so); past a minute the program's own time-out has to end it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!testThreadReturned && std::chrono::steady_clock::now() < deadline) {
        for (HWND window : windows()) {
            if (className(window) == L"#32770")
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            else
                PostMessageW(window, WM_CLOSE, 0, 0);
        }
        Sleep(PollInterval);
    }
}

bool pumpMessagesUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, PollInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

bool pumpPostedMessages(std::chrono::milliseconds timeout)
{
    // A message of the thread's own, which no window procedure sees wherever a loop dispatches it.
    static const UINT marker = RegisterWindowMessageW(L"KorvilaneTestMarker");
    if (!PostThreadMessageW(GetCurrentThreadId(), marker, 0, 0))
        return false;
    MSG waiting;
    return pumpMessagesUntil([&] { return !PeekMessageW(&waiting, nullptr, marker, marker, PM_NOREMOVE); }, timeout);
}

bool keyHeld(WORD key, bool down)
{
    if (((GetAsyncKeyState(key) & 0x8000) != 0) == down)
        return true;
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    return false;
}
