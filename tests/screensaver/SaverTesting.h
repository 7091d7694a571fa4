#pragma once
// Windows, the screen and saver files for the player's tests.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "foundation/Path.h"
#include "support/ScreenSaverFiles.h"
#include "support/WindowRobot.h"

// A plain window of the test's own, destroyed with the object.
class HostWindow {
public:
    HostWindow(int width, int height, HWND parent = nullptr, DWORD visible = 0)
    {
        WNDCLASSW windowClass{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr)};
        windowClass.lpszClassName = L"SaverTestHost";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"SaverTestHost", L"", (parent ? WS_CHILD : WS_POPUP) | visible, 0, 0, width,
                                 height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow() { DestroyWindow(window); }
    HWND get() const { return window; }

private:
    HWND window;
};

// The whole screen in a 32-bit bitmap, for its pixels to be looked at.
inline std::unique_ptr<Gdiplus::Bitmap> takeScreenshot()
{
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    auto shot = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppRGB);
    Gdiplus::Graphics graphics(shot.get());
    HDC target = graphics.GetHDC();
    HDC screen = GetDC(nullptr);
    BitBlt(target, 0, 0, width, height, screen, GetSystemMetrics(SM_XVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    graphics.ReleaseHDC(target);
    return shot;
}

class SaverTest : public ScreenSaverFilesTest {
protected:
    // A saver of pictures of these sizes and colours, in this order.
    std::wstring saverOf(const wchar_t* name, const std::vector<std::pair<SIZE, Gdiplus::Color>>& pictures)
    {
        std::vector<std::wstring> files;
        for (const auto& [size, color] : pictures)
            files.push_back(picture(size.cx, size.cy, color));
        EXPECT_EQ(buildSaver(path(name), files), ScreenSaverBuilder::Written);
        return path(name);
    }
};
