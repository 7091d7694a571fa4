#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "SaverTesting.h"
#include "support/Screenshot.h"

using namespace std::chrono_literals;

namespace {

const Gdiplus::Color magenta(255, 255, 0, 255);

int magentaPixels(Gdiplus::Bitmap& shot)
{
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, shot.GetWidth(), shot.GetHeight());
    shot.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data);
    int count = 0;
    for (UINT i = 0; i < data.Height * data.Width; ++i) {
        const BYTE* pixel = static_cast<const BYTE*>(data.Scan0) + i / data.Width * data.Stride + i % data.Width * 4;
        count += pixel[2] > 220 && pixel[0] > 220 && pixel[1] < 40;
    }
    shot.UnlockBits(&data);
    return count;
}

// The saver program started with the switches, ended with the object at the latest.
class SaverProcess {
public:
    SaverProcess(const std::wstring& program, const std::wstring& arguments)
    {
        std::wstring line = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{sizeof(startup)};
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process);
    }
    ~SaverProcess()
    {
        TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool isRunning() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // -1 when it is still running after the time.
    int exitCode(DWORD milliseconds) const
    {
        DWORD code = static_cast<DWORD>(-1);
        if (pumpMessagesUntil([&] { return !isRunning(); }, std::chrono::milliseconds(milliseconds)))
            GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION process{};
};

HWND saverWindowIn(HWND parent)
{
    HWND found = nullptr;
    pumpMessagesUntil(
        [&] { return (found = FindWindowExW(parent, nullptr, L"ScreenSaverWindow", nullptr)) != nullptr; }, 20000ms);
    return found;
}

void moveMouseBy(int dx, int dy)
{
    INPUT input{INPUT_MOUSE};
    input.mi = MOUSEINPUT{dx, dy, 0, MOUSEEVENTF_MOVE};
    SendInput(1, &input, sizeof(input));
}

class SaverProgramTest : public SaverTest {};

} // namespace

TEST_F(SaverProgramTest, RunsFullScreenShowingItsPicturesUntilTheMouseMoves)
{
    std::wstring file = saverOf(L"magenta.scr", {{SIZE{400, 300}, magenta}, {SIZE{300, 200}, magenta}});
    SaverProcess saver(file, L"/s");
    HWND window = saverWindowIn(nullptr);
    ASSERT_NE(window, nullptr);
    RECT area{};
    GetWindowRect(window, &area);
    EXPECT_EQ(area.right - area.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // A picture fades in over the desktop.
    EXPECT_TRUE(pumpMessagesUntil([] { return magentaPixels(*takeScreenshot()) > 200 * 100; }, 10000ms));
    saveScreenScreenshot(L"screensaver-playing");

    // A move of a few pixels is no user's; a real one ends the saver.
    moveMouseBy(2, 1);
    pumpMessagesUntil([] { return false; }, 1500ms);
    ASSERT_TRUE(saver.isRunning()) << "ended early, or crashed";
    // On a busy machine one injected move can go unseen; a user's hand goes on moving until the saver ends.
    int exitCode = -1;
    for (int move = 0; move < 4 && exitCode == -1; ++move) {
        moveMouseBy(60, 40);
        exitCode = saver.exitCode(3000);
    }
    EXPECT_EQ(exitCode, 0);
}

TEST_F(SaverProgramTest, ThePreviewDrawsInsideTheWindowItIsGivenAndEndsWithIt)
{
    auto settings = std::make_unique<HostWindow>(152, 112, nullptr, WS_VISIBLE);
    SaverProcess saver(saverOf(L"preview.scr", {{SIZE{400, 300}, magenta}}),
                       L"/p " + std::to_wstring(reinterpret_cast<ULONG_PTR>(settings->get())));
    HWND window = saverWindowIn(settings->get());
    ASSERT_NE(window, nullptr);
    RECT area{};
    GetClientRect(window, &area);
    EXPECT_EQ(area.right * 1000 + area.bottom, 152 * 1000 + 112);
    // Keys in the preview belong to the display settings; closing them ends it.
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    pumpMessagesUntil([] { return false; }, 500ms);
    EXPECT_TRUE(saver.isRunning());
    settings.reset();
    EXPECT_EQ(saver.exitCode(10000), 0);
}
