#pragma once
// What the preview tests share: the services the program sets up before its first window (an application
// object, the settings record, the message texts, COM and GDI+) and hands the preview classes, generated
// pictures, and reading back what the windows show.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "imaging/GdipImage.h"
#include "imaging/gdipImageIO.h"
#include "foundation/WorkerPool.h"
#include "jobs/LogWindow.h"
#include "mainwindow/MainWindowServices.h"
#include "settings/Messages.h"
#include "support/GlobalApplication.h"
#include "support/ImagingTestSupport.h"
#include "support/LentSettings.h"
#include "support/WindowRobot.h"
#include "toolkit/PictureView.h"

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

    class Program : public Application {
    public:
        int run(const wstringArray&) override { return 0; }
    } program;
    GlobalApplication application{program};
    LentSettings lent;
    AppSetting& setting = lent.setting;
    LogWindow log;
    WorkerPool workers;
    // What the main window hands the preview classes.
    MainWindowServices services{program, setting, log, workers};
    ScratchFolder scratch{L"korvilane-preview"};
};

// Presses or releases the key on the keyboard and waits until the system says so. What the test does next reads
// the key before it looks for messages, so the key stays as it is until then.
inline void holdKey(WORD key, bool down)
{
    EXPECT_TRUE(pumpMessagesUntil([&] { return keyHeld(key, down); })) << "key " << key;
}

// The colour a window shows at a client point, once it has painted what it shows now.
inline COLORREF shownPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(pumpMessagesUntil([&] { return PictureView::showsNewest(window); }));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}
