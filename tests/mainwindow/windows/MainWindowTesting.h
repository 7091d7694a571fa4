#pragma once
// What the main-window tests share: pictures of one colour each, written as PNG files, and the program's
// settings file beside a program.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "imaging/AnimeGifFileGenerator.h"
#include "imaging/gdipImageIO.h"
#include "support/ImagingTestSupport.h"
#include "support/fileBytes.h"

// A PNG picture of one colour (ARGB) with a white frame, so that a preview shows its colour in the middle.
inline void writeSolidPicture(const std::wstring& path, UINT32 colour, int width = 160, int height = 120)
{
    BitmapPtr picture(makeBitmap32(width, height, [&](int x, int y) {
        bool frame = x < 4 || y < 4 || x >= width - 4 || y >= height - 4;
        return frame ? White : colour;
    }));
    Gdiplus::Bitmap opaque(width, height, PixelFormat24bppRGB);
    Gdiplus::Graphics(&opaque).DrawImage(picture.get(), 0, 0, width, height);
    ASSERT_TRUE(gdipSaveToFile(path.c_str(), L"image/png", &opaque, nullptr));
}

// A JPEG of a colour gradient, as large as a camera's: its properties take a while to read.
inline void writeLargeJpeg(const std::wstring& path, int width = 4000, int height = 3000)
{
    BitmapPtr picture(makeBitmap32(width, height, [&](int x, int y) {
        return 0xFF000000u | (x * 255 / width) << 16 | (y * 255 / height) << 8 | ((x ^ y) & 0xFF);
    }));
    ASSERT_TRUE(gdipSaveToFile(path.c_str(), L"image/jpeg", picture.get(), nullptr));
}

// The PNG with `count` text chunks ("k" = "v", with its checksum) after its header: the platform's decoder
// spends most of a millisecond on each, so that 2,000 make the picture take a second or so to load.
inline void addTextChunks(const std::wstring& png, int count)
{
    const Bytes chunk = {0, 0, 0, 3, 't', 'E', 'X', 't', 'k', 0, 'v', 0xCB, 0x04, 0xF3, 0x90};
    Bytes bytes = readBytes(png);
    for (int i = 0; i < count; ++i)
        bytes.insert(bytes.begin() + 8 + 25, chunk.begin(), chunk.end());
    writeBytes(png, bytes);
}

// An animated GIF of three frames, a quarter of a second each, with red, green and blue stripes a third of
// the width wide that move by one stripe from frame to frame (the file keeps the first frame's colours for
// all of them): the middle stripe is green, blue, then red.
inline void writeStripedAnimation(const std::wstring& path, int width, int height)
{
    const UINT32 stripes[] = {Red, Green, Blue};
    std::vector<BitmapPtr> frames;
    for (int shift = 0; shift < 3; ++shift)
        frames.emplace_back(
            makeBitmap32(width, height, [&](int x, int) { return stripes[(x * 3 / width + shift) % 3]; }));
    AnimeGifFileGenerator gif;
    gif.delay = 25;
    ASSERT_TRUE(gif.open(path.c_str(), frames[0].get(), AnimeGifFileGenerator::NoTransparency, 0) &&
                gif.addFrame(frames[1].get()) && gif.addFrame(frames[2].get()) && gif.close(true));
}

// The screen's colour at the centre of the window, as the user sees it.
inline COLORREF colourAtCentre(HWND window)
{
    RECT area{};
    GetWindowRect(window, &area);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, (area.left + area.right) / 2, (area.top + area.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

inline COLORREF colourOf(UINT32 argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// The clipboard's text; empty when it holds none.
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
