#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <thread>
#include <vector>
#include "foundation/Application.h"
#include "foundation/Environment.h"
#include "foundation/Path.h"
#include "foundation/Process.h"
#include "foundation/StartUp.h"
#include "foundation/foundationStrings.h"
#include "foundation/wstringArray.h"
#include "support/ExpectCode.h"
#include "support/GlobalApplication.h"

namespace {

// What the message loop did, in order: who saw which message.
std::vector<std::string> events;

std::string event(const char* who, UINT message, WPARAM parameter = 0)
{
    return std::string(who) + " " + std::to_string(message) + " " + std::to_string(parameter);
}

class TestApplication : public Application {
public:
    int run(const wstringArray&) override { return 0; }
    bool preTranslateMessage(MSG& message) override
    {
        events.push_back(event("hook", message.message));
        return message.message == swallowed;
    }

    UINT swallowed = 0;
};

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        events.push_back(event("window", message, LOWORD(wParam)));
    else if (message == WM_KEYDOWN || message == WM_CHAR || message >= WM_APP)
        events.push_back(event("window", message));
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of the test's own (no display needed) and an accelerator table that turns the A key
// into command 100.
class MessageLoopTest : public testing::Test {
protected:
    void SetUp() override
    {
        events.clear();
        WNDCLASSW type{};
        type.lpfnWndProc = recordingProcedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"KorvilaneMessageLoopTest";
        RegisterClassW(&type);
        window = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ACCEL key{FVIRTKEY, 'A', 100};
        accelerators = CreateAcceleratorTableW(&key, 1);
        ASSERT_NE(accelerators, nullptr);
    }
    void TearDown() override
    {
        DestroyAcceleratorTable(accelerators);
        DestroyWindow(window);
    }

    HWND window = nullptr;
    HACCEL accelerators = nullptr;
};

} // namespace

TEST_F(MessageLoopTest, AcceleratorsComeFirstThenTheHookThenTranslation)
{
    TestApplication application;
    application.swallowed = WM_APP + 1;
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    PostMessageW(window, WM_KEYDOWN, 'B', 0);
    PostMessageW(window, WM_APP + 1, 0, 0);
    PostMessageW(window, WM_APP + 2, 0, 0);
    PostQuitMessage(3);

    EXPECT_EQ(application.messageLoop(accelerators), 3);
    std::vector<std::string> expected{
        event("window", WM_COMMAND, 100),
        event("hook", WM_KEYDOWN), event("window", WM_KEYDOWN),
        event("hook", WM_APP + 1),
        event("hook", WM_APP + 2), event("window", WM_APP + 2),
        // The character that translation made of the B key comes after what was already queued.
        event("hook", WM_CHAR), event("window", WM_CHAR),
    };
    EXPECT_EQ(events, expected);
}

TEST_F(MessageLoopTest, WithoutAcceleratorsKeysGoToTheHookAndOn)
{
    TestApplication application;
    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(0);

    EXPECT_EQ(application.messageLoop(nullptr), 0);
    std::vector<std::string> expected{
        event("hook", WM_KEYDOWN), event("window", WM_KEYDOWN),
        event("hook", WM_CHAR), event("window", WM_CHAR),
    };
    EXPECT_EQ(events, expected);
}

TEST(Application, TakesItsNameFromTheProgramFile)
{
    TestApplication application;
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_STREQ((application.getDirectory() + application.getFileName()).buffer(), program);
    EXPECT_STREQ(application.getFileName().buffer(), L"foundation_tests.exe");
    EXPECT_STREQ(application.getName().buffer(), L"foundation_tests");
    EXPECT_STREQ(application.getTitle().buffer(), L"foundation_tests");

    GlobalApplication global(application);
    EXPECT_STREQ(Application::getVersion().buffer(), L"1.00");
    EXPECT_TRUE(Application::getExtraText().isEmpty());
    EXPECT_STREQ(application.loadString(IDS_RESOURCE_LOAD_FAILED).buffer(), L"リソースの読み込みに失敗しました。");
    EXPECT_THROW(application.loadString(2599), Exception);
}

TEST(Application, EveryInstanceOfTheProgramMeetsInTheNamedMutex)
{
    TestApplication application;
    HANDLE other = CreateMutexW(nullptr, FALSE, L"foundation_testsMutex");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(other);

    // A holder that ends without releasing leaves the mutex abandoned: the next waiter owns it all the same.
    HANDLE holder = CreateThread(
        nullptr, 0, [](void* parameter) -> DWORD { return static_cast<Application*>(parameter)->waitMutex(); },
        &application, 0, nullptr);
    WaitForSingleObject(holder, INFINITE);
    CloseHandle(holder);
    EXPECT_TRUE(application.waitMutex());
    application.getNamedMutex().release();
}

TEST(Application, ReleasingTheSecondMutexLetsOtherThreadsIn)
{
    // Whether another thread could take the mutex at this moment.
    auto availableElsewhere = [](Mutex& mutex) {
        auto tryOnce = [](void* handle) -> DWORD {
            if (WaitForSingleObject(handle, 0) != WAIT_OBJECT_0)
                return 0;
            ReleaseMutex(handle);
            return 1;
        };
        HANDLE thread = CreateThread(nullptr, 0, tryOnce, mutex.handle(), 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        DWORD acquired = 0;
        GetExitCodeThread(thread, &acquired);
        CloseHandle(thread);
        return acquired == 1;
    };
    Application::releaseSecondMutex(); // no global application: nothing happens

    TestApplication application;
    GlobalApplication global(application);
    ASSERT_TRUE(application.getSecondMutex().acquire());
    EXPECT_FALSE(availableElsewhere(application.getSecondMutex()));
    Application::releaseSecondMutex();
    EXPECT_TRUE(availableElsewhere(application.getSecondMutex()));
}

TEST(Application, MessageBoxesThatCannotBeShownReportIt)
{
    // Without a display the system refuses every box at once; with one, a box would wait for a click.
    if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0)
        GTEST_SKIP() << "a display is present";
    TestApplication application;
    GlobalApplication global(application);
    EXPECT_FALSE(application.warn(nullptr, L"text"));
    EXPECT_FALSE(application.showException(nullptr, Exception(ERROR_ACCESS_DENIED)));
    EXPECT_FALSE(application.showException(nullptr, ApplicationException(nullptr)));
    EXPECT_THROW(application.messageBox(nullptr, L"text", MB_OK), Exception);
    EXPECT_THROW(Application::messageBox(nullptr, wstring(L"text"), MB_OK), Exception);
}

TEST(Application, ExceptionBoxesShowTheOwnTextOrTheSystemText)
{
    // An automation error whose description is missing.
    class Undescribed : public Exception {
    public:
        using Exception::Exception;
        wchar_t* getMessage(bool& mustFree) const override
        {
            mustFree = false;
            return nullptr;
        }
    };
    bool mustFree = false;
    wchar_t* systemText = Exception(ERROR_ACCESS_DENIED).getMessage(mustFree);
    ASSERT_NE(systemText, nullptr);
    EXPECT_STREQ(Application::getExceptionText(Undescribed(ERROR_ACCESS_DENIED)).buffer(), systemText);
    LocalFree(systemText);

    EXPECT_STREQ(Application::getExceptionText(ApplicationException(L"自前の文")).buffer(), L"自前の文");
    EXPECT_TRUE(Application::getExceptionText(ApplicationException(nullptr)).isEmpty());
}

TEST(Application, ResolvesPathsAgainstABaseDirectory)
{
    EXPECT_STREQ(resolveRelativePath(L"sub\\a.txt", L"C:\\x").buffer(), L"C:\\x\\sub\\a.txt");
    EXPECT_STREQ(resolveRelativePath(L"..\\a.txt", L"C:\\x\\y\\").buffer(), L"C:\\x\\a.txt");
    EXPECT_STREQ(resolveRelativePath(L"D:\\p\\.\\q.txt", L"C:\\x").buffer(), L"D:\\p\\q.txt");
    expectCode(ERROR_INVALID_PARAMETER, [] { resolveRelativePath(L"", L"C:\\x"); });
    expectCode(ERROR_INVALID_PARAMETER, [] { resolveRelativePath(L"a.txt", L""); });

    expectCode(ErrorCode::InvalidState, [] { applicationRelativePath(L"a.txt"); });
    TestApplication application;
    GlobalApplication global(application);
    EXPECT_STREQ(applicationRelativePath(L"sub\\a.txt").buffer(),
                 (application.getDirectory() + L"sub\\a.txt").buffer());
}

TEST(Application, ExpandsEnvironmentReferences)
{
    SetEnvironmentVariableW(L"KORVILANE_EXPAND", L"展開した値");
    EXPECT_STREQ(expandEnvironmentStrings(L"<%KORVILANE_EXPAND%|%KORVILANE_UNSET%>").buffer(),
                 L"<展開した値|%KORVILANE_UNSET%>");
    SetEnvironmentVariableW(L"KORVILANE_EXPAND", nullptr);
}

TEST(Application, ExpansionOfAVariableThatGrowsMeanwhileIsWhole)
{
    // Another thread switches the value between a short and a long text while this one expands it.
    const std::wstring shortText = L"s";
    const std::wstring longText(300, L'L');
    std::atomic<bool> done{false};
    std::thread switcher([&] {
        for (bool grow = true; !done; grow = !grow)
            SetEnvironmentVariableW(L"KORVILANE_GROWING", grow ? longText.c_str() : shortText.c_str());
    });
    int failures = 0;
    int cut = 0;
    for (int i = 0; i < 20000; ++i) {
        try {
            std::wstring expanded = expandEnvironmentStrings(L"[%KORVILANE_GROWING%]").buffer();
            // Wine's environment lacks the variable for a moment while it is set: the reference then stays.
            if (expanded != L"[" + shortText + L"]" && expanded != L"[" + longText + L"]" &&
                expanded != L"[%KORVILANE_GROWING%]")
                ++cut;
        } catch (const Exception&) {
            ++failures;
        }
    }
    done = true;
    switcher.join();
    SetEnvironmentVariableW(L"KORVILANE_GROWING", nullptr);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(cut, 0);
}

TEST(Application, StartUpRanBeforeTheEntryPoint)
{
    EXPECT_NO_THROW(StartUp::check());
    // Sizes of this build's pointer width, never the 32-bit 44 and 48.
    int size = StartUp::getToolTipRecordSize();
    EXPECT_TRUE(size == TTTOOLINFOW_V2_SIZE || size == static_cast<int>(sizeof(TTTOOLINFOW))) << size;
    EXPECT_TRUE(isWindowsVistaOrLater());
    EXPECT_TRUE(isWindows7OrLater());
}

TEST(Process, StartsTheProgramAndHoldsItsHandle)
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    Process process;
    ASSERT_TRUE(process.run(nullptr, program, L"--exit-code=7"));
    ASSERT_EQ(WaitForSingleObject(process.handle(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.handle(), &code);
    EXPECT_EQ(code, 7u);

    // A start that fails lets go of the previous program and holds nothing.
    EXPECT_FALSE(process.run(nullptr, L"C:\\korvilane-missing\\none.exe", nullptr));
    EXPECT_EQ(process.handle(), nullptr);
}
