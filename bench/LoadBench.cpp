// Loads a 4000 x 3000 JPEG through each loader and prints pictures per second, with the pieces of loadBitmap
// timed alone: the GDI+ decode, the 32-bit copy and the WIC pass for resolution and metadata.
// load_bench JPEG; bench/load-bench.sh hands it a camera-like picture, whose decoding costs what users see.
#include <windows.h>
#include <gdiplus.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>
#include "BenchPicture.h"
#include "foundation/ComPtr.h"
#include "foundation/Decimal.h"
#include "imaging/Dib.h"
#include "imaging/PictureProperties.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/gdipImageIO.h"
#include "imaging/pictureLoading.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

constexpr int Rounds = 3;

struct Bench {
    const char* name;
    std::function<bool()> run;
};

Gdiplus::Bitmap* gdipDecode(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    Gdiplus::Bitmap* bitmap = gdipLoadFromFileHandle(file);
    CloseHandle(file);
    return bitmap;
}

std::vector<Bench> benches(const wchar_t* path)
{
    return {
        {"GDI+ decode alone",
         [=] { return std::unique_ptr<Gdiplus::Bitmap>(gdipDecode(path)) != nullptr; }},
        {"WIC header pass alone",
         [=] {
             WIC::BitmapDecoder decoder;
             decoder.openFile(path);
             WIC::BitmapFrameDecode frame(decoder.frame(0), true);
             return frame.dpiX() > 0;
         }},
        {"loadBitmap",
         [=] { return std::unique_ptr<Gdiplus::Bitmap>(loadBitmap(path)) != nullptr; }},
        {"loadBitmap all outputs",
         [=] {
             IWICMetadataBlockReader* reader = nullptr;
             WORD bits = 0;
             Decimal dpiX(0);
             Decimal dpiY(0);
             std::unique_ptr<Gdiplus::Bitmap> bitmap(loadBitmap(path, &reader, &bits, &dpiX, &dpiY));
             if (reader)
                 reader->Release();
             return bitmap != nullptr;
         }},
        {"loadDib",
         [=] {
             Dib dib;
             return loadDib(path, dib);
         }},
        {"loadImage",
         [=] { return std::unique_ptr<IImage>(loadImage(path, false, nullptr, 0)) != nullptr; }},
        {"readPictureProperties",
         [=] {
             PictureMetadata metadata;
             WORD bits = 0;
             UINT frames = 0;
             Dib picture;
             Dib thumbnail;
             return readPictureProperties(path, metadata, bits, frames, picture, thumbnail);
         }},
    };
}

// The first copy of a run may pay for fresh memory; the best one shows the copy itself.
bool timeCopy(const wchar_t* path)
{
    std::unique_ptr<Gdiplus::Bitmap> decoded(gdipDecode(path));
    if (!decoded)
        return false;
    double first = 0;
    double best = 0;
    for (int round = 0; round < Rounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        std::unique_ptr<Gdiplus::Bitmap> copy(copyBitmap32(decoded.get()));
        QueryPerformanceCounter(&end);
        if (!copy)
            return false;
        double elapsed = secondsBetween(start, end) * 1e3;
        first = round == 0 ? elapsed : first;
        best = round == 0 ? elapsed : std::min(best, elapsed);
    }
    std::printf("%-26s %8.1f ms best, %.1f ms first (from GDI+ format %#x)\n", "32-bit copy alone", best, first,
                decoded->GetPixelFormat());
    return true;
}

int runBenches(const std::wstring& path)
{
    int status = 0;
    // No plug-ins: the settings' defaults.
    AppSetting setting;
    AppServices services(&setting, nullptr);
    std::printf("%ls, %d loads each\n", path.c_str(), Rounds);
    for (const Bench& bench : benches(path.c_str())) {
        LARGE_INTEGER start, end;
        bool done = true;
        QueryPerformanceCounter(&start);
        for (int round = 0; round < Rounds && done; ++round)
            done = bench.run();
        QueryPerformanceCounter(&end);
        if (!done) {
            std::printf("%-26s failed\n", bench.name);
            status = 1;
            continue;
        }
        double each = secondsBetween(start, end) / Rounds;
        std::printf("%-26s %8.2f pictures/s %8.1f ms each\n", bench.name, 1 / each, each * 1e3);
    }
    if (!timeCopy(path.c_str()))
        status = 1;
    return status;
}

int runOnFile(const wchar_t* path)
{
    GdiplusSession graphics;
    if (!graphics.isStarted()) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    try {
        return runBenches(path);
    } catch (...) {
        std::fprintf(stderr, "a loader threw\n");
        return 1;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_bench JPEG\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        std::fprintf(stderr, "COM did not start\n");
        return 1;
    }
    int status = runOnFile(argv[1]);
    CoUninitialize();
    return status;
}
