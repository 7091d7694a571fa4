#include <gtest/gtest.h>
#include <atomic>
#include "PreviewTesting.h"
#include "mainwindow/PPView.h"
#include "mainwindow/PreviewManager.h"
#include "mainwindow/PreviewWindow.h"
#include "mainwindow/mainWindowMessages.h"
#include "settings/OutputFormat.h"
#include "support/WindowRobot.h"
#include "toolkit/ToolkitTesting.h"

namespace {

int visibleWindowCount()
{
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM counted) -> BOOL {
            *reinterpret_cast<int*>(counted) += IsWindowVisible(window) ? 1 : 0;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

std::wstring titleOf(HWND window)
{
    wchar_t title[512] = L"";
    GetWindowTextW(window, title, 512);
    return title;
}

std::wstring lower(std::wstring text)
{
    CharLowerW(text.data());
    return text;
}

// Shift as the window's thread sees it while it handles a key: its own keyboard state, which no other window or
// test program can take from it as they can take the keyboard itself.
void setShift(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Keys as the focused view receives them, with Shift held down or not.
void sendKeys(HWND view, WORD key, int times, bool shift)
{
    setShift(shift);
    for (int i = 0; i < times; ++i)
        SendMessageW(view, WM_KEYDOWN, key, 1);
    setShift(false);
}

HWND viewOf(HWND window)
{
    return GetDlgItem(window, PreviewWindow::ViewId);
}

class PreviewWindowTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        setting.viewPreviewInitWidth = 800;
        setting.viewPreviewInitHeight = 600;
        setting.viewPreviewMakeIcon = true;
        setting.viewPreviewShowHints = true;
        manager = std::make_unique<PreviewManager>(services);
    }
    void TearDown() override
    {
        manager.reset();
        PreviewTest::TearDown();
    }

    // The window shown, which is the active one, once its picture is there.
    HWND open(const std::wstring& path, bool converted = false)
    {
        if (!manager->open(path.c_str(), converted, OutputFormat::Png, L"PNG"))
            return nullptr;
        std::wstring shown = lower(path) + (converted ? L" " : L"   [");
        pumpMessagesUntil([&] { return titleOf(GetActiveWindow()).starts_with(shown); });
        return GetActiveWindow();
    }

    std::unique_ptr<PreviewManager> manager;
};

} // namespace

TEST_F(PreviewWindowTest, ALargePictureOpensAtTheSizeLimitWithItsSizeAndDepthInTheTitle)
{
    std::wstring path = pngFile(L"Large.png", 2000, 1500, [](int x, int y) {
        return 0xFF000060u | (x * 255 / 2000) << 16 | (y * 255 / 1500) << 8;
    });
    HWND window = open(path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(titleOf(window), lower(path) + L"   [2000 x 1500 24bit]");
    // The window fits itself to the picture's scroll bars once it has them, by messages it posts itself.
    ASSERT_TRUE(pumpPostedMessages());
    Rect bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 800) << "the scroll bar's room stays within the limit";
    EXPECT_EQ(bounds.bottom - bounds.top, 600);
    EXPECT_EQ(SendMessageW(viewOf(window), PictureView::GetDrawModeMessage, 0, 0), PictureView::ActualSize);
    EXPECT_EQ(shownPixel(viewOf(window), 2, 2), RGB(0, 0, 0x60)) << "the top left corner of the picture";
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0) << "the icon is made from the picture";
    WindowRobot robot([&](WindowRobot& user) { user.screenshot(window, L"preview-window"); });
    robot.finish();
}

TEST_F(PreviewWindowTest, ShiftArrowsMakeTheWindowTranslucentInStepsOfOnePercent)
{
    HWND window = open(pngFile(L"small.png", 120, 90, [](int, int) { return Green; }));
    sendKeys(viewOf(window), VK_LEFT, 10, true);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 229) << "10 % transparency: int(255 - 25.5)";
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    sendKeys(viewOf(window), VK_UP, 100, true);
    GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 25) << "at most 90 %";
    sendKeys(viewOf(window), VK_RIGHT, 95, true);
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) << "Shift+Right at 0 stays opaque";

    sendKeys(viewOf(window), VK_SPACE, 1, false);
    EXPECT_EQ(SendMessageW(viewOf(window), PictureView::GetDrawModeMessage, 0, 0), PictureView::Stretch);
    sendKeys(viewOf(window), VK_ESCAPE, 1, false);
    EXPECT_FALSE(IsWindow(window)) << "Esc closes the window";
    EXPECT_EQ(manager->count(), 0);
}

TEST_F(PreviewWindowTest, EscDuringAConvertedPreviewLeavesNoWindowAndNoBox)
{
    // A colour step asks at every row whether to stop.
    setting.effectEnable = true;
    setting.effectBright = 20;
    std::wstring path = pngFile(L"convert.png", 64, 48, [](int, int) { return Red; });
    int before = visibleWindowCount();
    holdKey(VK_ESCAPE, true);
    EXPECT_FALSE(manager->open(path.c_str(), true, OutputFormat::Png, L"PNG"));
    holdKey(VK_ESCAPE, false);
    EXPECT_EQ(manager->count(), 0);
    EXPECT_EQ(visibleWindowCount(), before) << "no window and no message box";

    std::wstring title = titleOf(open(path, true));
    std::wstring head = lower(path) + L" [変換後のイメージ]   [PNG 64 x 48 ";
    EXPECT_EQ(title.substr(0, head.size()), head);
    EXPECT_EQ(title.substr(title.size() - 3), L"KB]") << title;
}

TEST_F(PreviewWindowTest, TheSameSourceIsFocusedTheSameConversionIsMadeAgainAndArrowsGoBetweenThem)
{
    std::wstring first = pngFile(L"first.png", 60, 40, [](int, int) { return Red; });
    HWND firstWindow = open(first);
    HWND secondWindow = open(pngFile(L"second.png", 60, 40, [](int, int) { return Blue; }));
    EXPECT_TRUE(manager->open(first.c_str(), false, 0, L""));
    EXPECT_EQ(manager->count(), 2) << "the picture already shown is not opened twice";
    EXPECT_EQ(GetFocus(), viewOf(firstWindow));

    // Newest first: Right goes to an older window, Left to a newer one.
    sendKeys(viewOf(secondWindow), VK_RIGHT, 1, false);
    EXPECT_EQ(GetFocus(), viewOf(firstWindow));
    sendKeys(viewOf(firstWindow), VK_LEFT, 1, false);
    EXPECT_EQ(GetFocus(), viewOf(secondWindow));

    HWND converted = open(first, true);
    ASSERT_NE(converted, nullptr);
    open(first, true);
    EXPECT_FALSE(IsWindow(converted)) << "a converted preview shows the settings as they are now";
    EXPECT_EQ(manager->count(), 3);
    manager->closeAll();
    EXPECT_EQ(manager->count(), 0);
}

// Stands in for the main window, which tells the user of a preview that failed.
class FailureListener : public UserWindow {
public:
    explicit FailureListener(const PreviewManager& manager) : manager(manager)
    {
        create(0, testWindowClass(), L"main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr);
    }
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == PreviewFailedMessage) {
            windowsWhenTold = manager.count();
            told = true;
            return 0;
        }
        return UserWindow::handleMessage(window, message, wParam, lParam);
    }

    const PreviewManager& manager;
    std::atomic<bool> told{false};
    int windowsWhenTold = -1;
};

TEST_F(PreviewWindowTest, AMissingFileIsNamedAndABrokenOneIsToldToTheMainWindowOnceItsWindowHasGone)
{
    std::wstring missing = scratch.file(L"none.png");
    try {
        manager->open(missing.c_str(), false, 0, L"");
        ADD_FAILURE() << "no error";
    } catch (const ApplicationException& error) {
        EXPECT_EQ(std::wstring(error.getText()), L"ファイル " + missing + L" は存在しません。");
    }
    // A broken file is found out on the pool, once the window is made. A message box shown by the closing window
    // would serve messages that may delete it.
    std::wstring broken = scratch.file(L"broken.png");
    writeBytes(broken, {0x89, 'P', 'N', 'G', 1, 2, 3});
    FailureListener main(*manager);
    manager->setMainWindow(main.getHandle());
    std::atomic<bool> boxShown{false};
    WindowRobot robot([&](WindowRobot& user) {
        user.waitUntil(
            [&] {
                if (HWND box = FindWindowW(L"#32770", nullptr)) {
                    boxShown = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
                return main.told.load();
            },
            L"the main window told");
    });
    EXPECT_TRUE(manager->open(broken.c_str(), false, 0, L""));
    pumpMessagesUntil([&] { return robot.isDone(); });
    robot.finish();
    EXPECT_FALSE(boxShown) << "told from within the closing window";
    EXPECT_EQ(main.windowsWhenTold, 0) << "told once the window had gone";
}
