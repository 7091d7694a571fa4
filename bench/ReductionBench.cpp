// Runs the colour reduction in each of its modes over a 4000 x 3000 picture and prints megapixels per second.
// The time covers the whole reduction of a 32-bit Dib (palette, diffusion and the mapping to indices), as the
// writers of GIF, BMP, TIFF and PNG files run it; the source Dib is made beforehand. Each line ends with a
// hash of the indices and the palette, so that a faster reduction can be checked to give the same result.
#include <windows.h>
#include <gdiplus.h>
#include <cstdio>
#include <memory>
#include "bench/BenchPicture.h"
#include "imaging/BitDepth.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/ColorReduction.h"
#include "imaging/DibConversion.h"

namespace {

struct Mode {
    const char* name;
    int mode;
    bool dither;
};

const Mode modes[] = {
    {"standard palette", ReduceDefaultPalette, false},
    {"standard palette, diffused", ReduceDefaultPalette, true},
    {"median cut exact", ReduceMedianCutExact, false},
    {"median cut exact, diffused", ReduceMedianCutExact, true},
    {"median cut grouped", ReduceMedianCutGrouped, false},
    {"median cut grouped, diffused", ReduceMedianCutGrouped, true},
};

unsigned long long hashOf(const Dib& reduced)
{
    unsigned long long hash = 14695981039346656037ull;
    auto add = [&hash](const BYTE* bytes, LONGLONG count) {
        for (LONGLONG i = 0; i < count; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    };
    add(reduced.getBits(), static_cast<LONGLONG>(reduced.stride()) * reduced.height());
    add(reinterpret_cast<const BYTE*>(reduced.getColorTable()), reduced.colorCount() * sizeof(RGBQUAD));
    return hash;
}

void report(const char* name, int bitCount, bool done, LARGE_INTEGER start, LARGE_INTEGER end, int& status,
            unsigned long long hash = 0)
{
    if (!done) {
        std::printf("%-30s %d bits failed (error %lu)\n", name, bitCount, GetLastError());
        status = 1;
        return;
    }
    double elapsed = secondsBetween(start, end);
    std::printf("%-30s %d bits %8.1f Mpx/s %8.1f ms", name, bitCount, BenchWidth * BenchHeight / 1e6 / elapsed,
                elapsed * 1e3);
    if (hash != 0)
        std::printf("  %016llx", hash);
    std::printf("\n");
}

int runAll(Gdiplus::Bitmap* picture)
{
    std::unique_ptr<Dib> source(gdiplusBitmapToDib(picture));
    if (!source) {
        std::printf("no source Dib (error %lu)\n", GetLastError());
        return 1;
    }
    int status = 0;
    for (int bitCount : {1, 4, 8}) {
        for (const Mode& mode : modes) {
            Dib reduced;
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            bool done = reduceColors(*source, reduced, bitCount, mode.mode, mode.dither, nullptr);
            QueryPerformanceCounter(&end);
            report(mode.name, bitCount, done, start, end, status, done ? hashOf(reduced) : 0);
        }
    }
    // The whole road of a saved picture: GDI+ bitmap to Dib, reduction, back to a GDI+ bitmap.
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    std::unique_ptr<Gdiplus::Bitmap> converted(gdipConvertBitDepth(picture, 8, ReduceMedianCutExact, true, nullptr));
    QueryPerformanceCounter(&end);
    report("gdipConvertBitDepth, diffused", 8, converted != nullptr, start, end, status);
    // Not a reduction, but the other large step of a typical conversion: fitting the picture to 800 x 600.
    QueryPerformanceCounter(&start);
    std::unique_ptr<Gdiplus::Bitmap> resized(
        resizeBitmap(picture, 800, 600, Gdiplus::InterpolationModeHighQualityBicubic));
    QueryPerformanceCounter(&end);
    report("resizeBitmap 800x600 bicubic", 32, resized != nullptr, start, end, status);
    return status;
}

} // namespace

int wmain()
{
    return runOnBenchPicture(runAll);
}
