#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <cstdio>
#include <memory>
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"
#include "imaging/BitmapPtr.h"
#include "imaging/GdiplusSession.h"

// The picture every bench runs over, the clock it is timed with and the frame of a bench program.

constexpr int BenchWidth = 4000;
constexpr int BenchHeight = 3000;

// Gradients with a little noise, so that the neighbourhood filters, the sorts and the colour searches see
// varied values.
inline Gdiplus::Bitmap* makeBenchPicture()
{
    Gdiplus::Bitmap* picture = createBitmap(BenchWidth, BenchHeight);
    BitmapLock lock(picture, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!lock.isLocked())
        return picture;
    UINT32 noise = 12345;
    for (int y = 0; y < BenchHeight; ++y) {
        UINT32* row = lock.pixels(y);
        for (int x = 0; x < BenchWidth; ++x) {
            noise = noise * 1664525 + 1013904223;
            UINT32 red = (x * 255 / BenchWidth + (noise >> 28)) & 0xFF;
            UINT32 green = (y * 255 / BenchHeight + (noise >> 24 & 0xF)) & 0xFF;
            UINT32 blue = ((x + y) / 28 + (noise >> 20 & 0xF)) & 0xFF;
            row[x] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
    return picture;
}

inline double secondsBetween(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// Seconds since the bench first asked.
inline double now()
{
    static LARGE_INTEGER start = [] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return secondsBetween(start, t);
}

// Starts GDI+, makes the picture and hands it to `run`, whose result becomes the exit code.
inline int runOnBenchPicture(int (*run)(Gdiplus::Bitmap* picture))
{
    GdiplusSession graphics;
    if (!graphics.isStarted()) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    BitmapPtr picture(makeBenchPicture());
    std::printf("%d x %d picture, megapixels per second\n", BenchWidth, BenchHeight);
    return run(picture.get());
}
