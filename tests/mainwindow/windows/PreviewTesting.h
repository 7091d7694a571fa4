#pragma once
// What the preview tests share: the services the program sets up before its first window (an application
// object, the settings record, the message texts, COM and GDI+), generated pictures, and reading back what
// the windows show.
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "imaging/GdipImage.h"
#include "imaging/gdipImageIO.h"
#include "settings/Messages.h"
#include "support/GlobalApplication.h"
#include "support/ImagingTestSupport.h"
#include "support/LentSettings.h"
#include "support/WindowRobot.h"

class PreviewTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        loadMessages(GetModuleHandleW(nullptr));
    }
    void TearDown() override { CoUninitialize(); }

    // A 24-bit PNG file of the colour of each pixel.
    template <typename PixelOf>
    std::wstring pngFile(const wchar_t* name, int width, int height, PixelOf pixelOf)
    {
        BitmapPtr picture(makeBitmap32(width, height, pixelOf));
        Gdiplus::Bitmap opaque(width, height, PixelFormat24bppRGB);
        Gdiplus::Graphics(&opaque).DrawImage(picture.get(), 0, 0, width, height);
        std::wstring path = scratch.file(name);
        EXPECT_TRUE(gdipSaveToFile(path.c_str(), L"image/png", &opaque, nullptr));
        return path;
    }

    static GdipImage* solidPicture(int width, int height, UINT32 colour)
    {
        BitmapPtr bitmap(makeBitmap32(width, height, [&](int, int) { return colour; }));
        return new GdipImage(bitmap.get());
    }

    GlobalApplication application;
    LentSettings lent;
    AppSetting& setting = lent.setting;
    ScratchFolder scratch{L"korvilane-preview"};
};

// Presses or releases the key on the keyboard and waits until the system says so.
inline void holdKey(WORD key, bool down, const std::function<bool()>& arrived)
{
    // Wine matches its key states to the X server's keyboard when the focus moves between the program's windows,
    // and so lets go of a key that only SendInput pressed: the focus change of a window closed just before must
    // be handled before the key goes down.
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(100));
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    EXPECT_TRUE(pumpMessagesUntil(arrived, std::chrono::milliseconds(2000))) << "key " << key;
}

// The colour a window shows at a client point, once it has painted.
inline COLORREF shownPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}
