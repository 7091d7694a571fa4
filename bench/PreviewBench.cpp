// What a user waits for in the preview: a paint of a 48-megapixel picture fitted into a picture view, and the
// time from a new selection to a 12-megapixel camera-like JPEG shown, loaded by the pane's loader as the main
// window loads it. Beside each, the scaled draw that every paint made before the view drew aside. Run by hand
// on a display: KORVILANE_NEEDS_DISPLAY=1 scripts/wine-run.sh "$PWD/build/wineprefix" build/bench/preview_bench.exe
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include "BenchPicture.h"
#include "foundation/WorkerPool.h"
#include "imaging/Dib.h"
#include "imaging/GdipImage.h"
#include "imaging/gdipImageIO.h"
#include "mainwindow/PreviewPaneLoader.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "toolkit/PictureView.h"

namespace {

constexpr int ViewWidth = 1200;
constexpr int ViewHeight = 800;
constexpr UINT LoadedMessage = WM_APP + 1;
constexpr int Paints = 20;
constexpr int Selections = 4;

// Serves the thread's messages until the condition holds; `message` sees each first and may take it.
bool serveUntil(const std::function<bool()>& done, const std::function<bool(const MSG&)>& message = nullptr)
{
    double end = now() + 60;
    while (!done()) {
        if (now() > end)
            return false;
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (message && message(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

double paintSeconds(HWND view)
{
    double start = now();
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return now() - start;
}

// The view shows its picture as it is now, and a paint has copied it to the screen.
double secondsUntilShown(PictureView& view)
{
    double start = now();
    RedrawWindow(view.getHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    serveUntil([&] { return view.showsNewest(); });
    paintSeconds(view.getHandle());
    return now() - start;
}

// What each paint of the fitted picture cost before: GDI+'s scaled draw on the window's thread.
double scaledDrawSeconds(IImage& picture)
{
    Dib buffer;
    buffer.create(ViewWidth, ViewHeight, 32, 0);
    double start = now();
    picture.draw(buffer.getDC(), 0, 0, ViewWidth, ViewWidth * picture.height() / picture.width(), 0, 0, picture.width(),
                 picture.height());
    buffer.releaseDC();
    return now() - start;
}

// A gradient with noise of the given size, as makeBenchPicture draws it at 4000 x 3000.
Gdiplus::Bitmap* makePicture(int width, int height)
{
    Gdiplus::Bitmap* picture = createBitmap(width, height);
    BitmapLock lock(picture, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    UINT32 noise = 12345;
    for (int y = 0; lock.isLocked() && y < height; ++y) {
        UINT32* row = lock.pixels(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525 + 1013904223;
            row[x] = 0xFF000000u | ((x * 255 / width + (noise >> 28)) & 0xFF) << 16 |
                     ((y * 255 / height + (noise >> 24 & 0xF)) & 0xFF) << 8 | ((x + y) / 40 & 0xFF);
        }
    }
    return picture;
}

std::wstring temporaryFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// Decoded from a JPEG, as a camera's pictures come: 24 bits, which GDI+ widens at every scaled draw.
void benchPaint(PictureView& view)
{
    std::wstring file = temporaryFile(L"preview-bench-large.jpg");
    {
        BitmapPtr large(makePicture(8000, 6000));
        gdipSaveToFile(file.c_str(), L"image/jpeg", large.get(), nullptr);
    }
    auto* picture = new GdipImage();
    picture->load(file.c_str());
    DeleteFileW(file.c_str());
    std::printf("48 megapixels (8000 x 6000 JPEG) fitted into %d x %d:\n", ViewWidth, ViewHeight);
    std::printf("  GDI+'s scaled draw, as each paint made it before: %.0f ms\n", scaledDrawSeconds(*picture) * 1000);
    view.setImage(picture);
    std::printf("  scaled copy drawn aside, until shown: %.0f ms\n", secondsUntilShown(view) * 1000);
    double longest = 0;
    double total = 0;
    for (int i = 0; i < Paints; ++i) {
        double seconds = paintSeconds(view.getHandle());
        longest = std::max(longest, seconds);
        total += seconds;
    }
    std::printf("  paint: %.1f ms on average, %.1f ms at most over %d paints\n", total / Paints * 1000, longest * 1000,
                Paints);
    view.releaseImage();
}

void benchSelection(PictureView& view, HWND window, WorkerPool& workers)
{
    std::wstring files[2] = {temporaryFile(L"preview-bench-a.jpg"), temporaryFile(L"preview-bench-b.jpg")};
    BitmapPtr camera(makeBenchPicture());
    for (const std::wstring& file : files)
        gdipSaveToFile(file.c_str(), L"image/jpeg", camera.get(), nullptr);
    std::printf("12 megapixels (%d x %d JPEG) from a new selection until shown in %d x %d:\n", BenchWidth, BenchHeight,
                ViewWidth, ViewHeight);
    PreviewPaneLoader loader(workers);
    double total = 0;
    for (int i = 0; i < Selections; ++i) {
        double start = now();
        loader.load({files[i % 2].c_str(), window, LoadedMessage});
        bool arrived = false;
        serveUntil([&] { return arrived; },
                   [&](const MSG& msg) {
                       if (msg.message != LoadedMessage)
                           return false;
                       PreviewPaneLoader::Result loaded;
                       if (loader.take(msg.wParam, loaded) && loaded.picture)
                           view.setImage(loaded.picture.release());
                       arrived = true;
                       return true;
                   });
        double loadedAt = now();
        secondsUntilShown(view);
        double seconds = now() - start;
        total += seconds;
        std::printf("  selection %d: %.0f ms (decoded in %.0f ms)\n", i + 1, seconds * 1000, (loadedAt - start) * 1000);
    }
    std::printf("  %.0f ms on average\n", total / Selections * 1000);
    std::unique_ptr<IImage> picture(new GdipImage());
    if (picture->load(files[0].c_str()))
        std::printf("  GDI+'s scaled draw of it, as each paint made it before: %.0f ms\n",
                    scaledDrawSeconds(*picture) * 1000);
    for (const std::wstring& file : files)
        DeleteFileW(file.c_str());
}

} // namespace

int wmain()
{
    GdiplusSession graphics;
    if (!graphics.isStarted() || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fprintf(stderr, "GDI+ or COM did not start\n");
        return 1;
    }
    AppSetting setting;
    AppServices services(&setting, nullptr);
    PictureView::registerClass();
    Rect frame(0, 0, ViewWidth, ViewHeight);
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"STATIC", L"preview bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, nullptr,
                                  nullptr);
    WorkerPool workers;
    PictureView view;
    view.create(window, 1, Rect(0, 0, ViewWidth, ViewHeight), 0, 0);
    view.setWorkers(workers);
    view.setDrawMode(PictureView::FitCentred);
    benchPaint(view);
    benchSelection(view, window, workers);
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
