#include <gtest/gtest.h>
#include "PreviewTesting.h"
#include "mainwindow/PPView.h"
#include "mainwindow/PreviewManager.h"
#include "mainwindow/PreviewWindow.h"
#include "settings/OutputFormat.h"
#include "support/WindowRobot.h"

namespace {

// The program's own visible top-level windows.
int visibleWindowCount()
{
    int count = 0;
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window))
                ++*reinterpret_cast<int*>(lParam);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

std::wstring lower(std::wstring text)
{
    CharLowerW(text.data());
    return text;
}

void pressKey(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

// Keys sent as the view receives them, with Shift held down on the keyboard or not.
void sendKeys(HWND window, WORD key, int times, bool shift)
{
    if (shift) {
        pressKey(VK_SHIFT, true);
        pumpMessagesUntil([] { return GetKeyState(VK_SHIFT) < 0; }, std::chrono::milliseconds(2000));
    }
    for (int i = 0; i < times; ++i)
        SendMessageW(window, WM_KEYDOWN, key, 1);
    if (shift) {
        pressKey(VK_SHIFT, false);
        pumpMessagesUntil([] { return GetKeyState(VK_SHIFT) >= 0; }, std::chrono::milliseconds(2000));
    }
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
        manager = std::make_unique<PreviewManager>();
    }
    void TearDown() override
    {
        manager.reset();
        PreviewTest::TearDown();
    }

    // The newest preview window of the path.
    HWND windowOf(const std::wstring& path) const
    {
        return findByTitlePrefix(lower(path));
    }

    static HWND findByTitlePrefix(const std::wstring& prefix)
    {
        struct Search {
            std::wstring prefix;
            HWND found = nullptr;
        } search{prefix};
        EnumWindows(
            [](HWND window, LPARAM lParam) -> BOOL {
                auto* search = reinterpret_cast<Search*>(lParam);
                wchar_t title[512] = L"";
                GetWindowTextW(window, title, 512);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process == GetCurrentProcessId() && std::wstring(title).rfind(search->prefix, 0) == 0) {
                    search->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static std::wstring titleOf(HWND window)
    {
        wchar_t title[512] = L"";
        GetWindowTextW(window, title, 512);
        return title;
    }

    std::unique_ptr<PreviewManager> manager;
};

} // namespace

TEST_F(PreviewWindowTest, ALargePictureOpensAtTheSizeLimitWithItsSizeAndDepthInTheTitle)
{
    std::wstring path = pngFile(L"Large.png", 2000, 1500, [](int x, int y) {
        return 0xFF000000u | (x * 255 / 2000) << 16 | (y * 255 / 1500) << 8 | 0x60;
    });
    ASSERT_TRUE(manager->open(path.c_str(), false, 0, L""));
    HWND window = windowOf(path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(titleOf(window), lower(path) + L"   [2000 x 1500 24bit]");
    RECT bounds;
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 800);
    EXPECT_EQ(bounds.bottom - bounds.top, 600);
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(200));
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 800) << "the scroll bar's room stays within the limit";

    HWND view = GetDlgItem(window, PreviewWindow::ViewId);
    EXPECT_EQ(SendMessageW(view, PictureView::GetDrawModeMessage, 0, 0), PictureView::ActualSize);
    EXPECT_TRUE(GetWindowLongPtrW(view, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(shownPixel(view, 2, 2), RGB(0, 0, 0x60)) << "the top left corner of the picture";
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0) << "the icon is made from the picture";
    WindowRobot robot([&](WindowRobot& user) { user.screenshot(window, L"preview-window"); });
    robot.finish();
}

TEST_F(PreviewWindowTest, ShiftArrowsMakeTheWindowTranslucentInStepsOfOnePercent)
{
    std::wstring path = pngFile(L"small.png", 120, 90, Green);
    ASSERT_TRUE(manager->open(path.c_str(), false, 0, L""));
    HWND window = windowOf(path);
    HWND view = GetDlgItem(window, PreviewWindow::ViewId);

    sendKeys(view, VK_LEFT, 10, true);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 229) << "10 % transparency: int(255 - 25.5)";
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    sendKeys(view, VK_UP, 100, true);
    GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 25) << "at most 90 %";

    sendKeys(view, VK_RIGHT, 95, true);
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) << "Shift+Right at 0 stays opaque";

    sendKeys(view, VK_SPACE, 1, false);
    EXPECT_EQ(SendMessageW(view, PictureView::GetDrawModeMessage, 0, 0), PictureView::Stretch);
    sendKeys(view, VK_ESCAPE, 1, false);
    EXPECT_FALSE(IsWindow(window)) << "Esc closes the window";
    EXPECT_EQ(manager->count(), 0);
}

TEST_F(PreviewWindowTest, EscDuringAConvertedPreviewLeavesNoWindowAndNoBox)
{
    // A colour step asks at every row whether to stop.
    setting.effectEnable = true;
    setting.effectBright = 20;
    std::wstring path = pngFile(L"convert.png", 64, 48, Red);
    int before = visibleWindowCount();
    pressKey(VK_ESCAPE, true);
    bool shown = manager->open(path.c_str(), true, OutputFormat::Png, L"PNG");
    pressKey(VK_ESCAPE, false);
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_FALSE(shown);
    EXPECT_EQ(manager->count(), 0);
    EXPECT_EQ(visibleWindowCount(), before) << "no window and no message box";

    ASSERT_TRUE(manager->open(path.c_str(), true, OutputFormat::Png, L"PNG"));
    HWND window = windowOf(path);
    std::wstring title = titleOf(window);
    std::wstring head = lower(path) + L" [変換後のイメージ]   [PNG 64 x 48 ";
    EXPECT_EQ(title.substr(0, head.size()), head);
    EXPECT_EQ(title.substr(title.size() - 3), L"KB]") << title;
}

TEST_F(PreviewWindowTest, TheSameSourceIsFocusedAndTheSameConversionIsMadeAgain)
{
    std::wstring first = pngFile(L"first.png", 60, 40, Red);
    std::wstring second = pngFile(L"second.png", 60, 40, Blue);
    ASSERT_TRUE(manager->open(first.c_str(), false, 0, L""));
    HWND firstWindow = windowOf(first);
    ASSERT_TRUE(manager->open(second.c_str(), false, 0, L""));
    HWND secondWindow = windowOf(second);
    EXPECT_TRUE(manager->open(first.c_str(), false, 0, L""));
    EXPECT_EQ(manager->count(), 2) << "the picture already shown is not opened twice";
    EXPECT_EQ(GetFocus(), GetDlgItem(firstWindow, PreviewWindow::ViewId));

    // The windows lie newest first: Right goes to an older one, Left to a newer one.
    sendKeys(GetDlgItem(secondWindow, PreviewWindow::ViewId), VK_RIGHT, 1, false);
    EXPECT_EQ(GetFocus(), GetDlgItem(firstWindow, PreviewWindow::ViewId));
    sendKeys(GetDlgItem(firstWindow, PreviewWindow::ViewId), VK_LEFT, 1, false);
    EXPECT_EQ(GetFocus(), GetDlgItem(secondWindow, PreviewWindow::ViewId));

    ASSERT_TRUE(manager->open(first.c_str(), true, OutputFormat::Png, L"PNG"));
    HWND converted = findByTitlePrefix(lower(first) + L" [");
    ASSERT_TRUE(manager->open(first.c_str(), true, OutputFormat::Png, L"PNG"));
    EXPECT_FALSE(IsWindow(converted)) << "a converted preview shows the settings as they are now";
    EXPECT_EQ(manager->count(), 3);

    manager->closeAll();
    EXPECT_EQ(manager->count(), 0);
}

TEST_F(PreviewWindowTest, AMissingFileIsNamedAndNoWindowIsLeft)
{
    std::wstring missing = scratch.file(L"none.png");
    try {
        manager->open(missing.c_str(), false, 0, L"");
        ADD_FAILURE() << "no error";
    } catch (const ApplicationException& error) {
        EXPECT_EQ(std::wstring(error.getText()), L"ファイル " + missing + L" は存在しません。");
    }
    std::wstring broken = scratch.file(L"broken.png");
    writeBytes(broken, {0x89, 'P', 'N', 'G', 1, 2, 3});
    try {
        manager->open(broken.c_str(), false, 0, L"");
        ADD_FAILURE() << "no error";
    } catch (const ApplicationException& error) {
        EXPECT_EQ(std::wstring(error.getText()), L"プレビューの作成に失敗しました。");
    }
    EXPECT_EQ(manager->count(), 0);
}
