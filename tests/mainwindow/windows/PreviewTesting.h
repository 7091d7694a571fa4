#pragma once
// What the preview tests share: the services the program sets up before its first window (an application
// object, the settings record, the message texts, COM and GDI+) and generated pictures on disk.
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "foundation/Application.h"
#include "foundation/GarbageCollector.h"
#include "foundation/wstringArray.h"
#include "imaging/GdipImage.h"
#include "imaging/ImagingTestSupport.h"
#include "imaging/gdipImageIO.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"

class PreviewTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        loadMessages(GetModuleHandleW(nullptr));
        setApplication(&application);
        setAppServices(&setting, &programCollector());
    }
    void TearDown() override
    {
        setAppServices(nullptr, nullptr);
        setApplication(nullptr);
        CoUninitialize();
        GdiplusTest::TearDown();
    }

    // A picture of one colour, or of the colour given for each pixel, written as a 24-bit PNG.
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
    std::wstring pngFile(const wchar_t* name, int width, int height, UINT32 colour)
    {
        return pngFile(name, width, height, [&](int, int) { return colour; });
    }

    static GdipImage* solidPicture(int width, int height, UINT32 colour)
    {
        BitmapPtr bitmap(makeBitmap32(width, height, [&](int, int) { return colour; }));
        return new GdipImage(bitmap.get());
    }

    class IdleApplication : public Application {
    public:
        int run(const wstringArray&) override { return 0; }
    };

    // What the program builds once per run (the preset table) stays registered for the whole test program.
    static GarbageCollector& programCollector()
    {
        static GarbageCollector collector;
        return collector;
    }

    IdleApplication application;
    AppSetting setting;
    ScratchFolder scratch{L"korvilane-preview"};
};

// The colour a window shows at a client point, once it has painted.
inline COLORREF shownPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The text on the clipboard; empty when it holds none.
inline std::wstring clipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

inline void emptyClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}
