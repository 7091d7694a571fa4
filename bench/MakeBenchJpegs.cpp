// Fills a folder with copies of the bench picture as JPEG files (bench01.jpg, bench02.jpg ...), the input of
// bench/convert-bench.sh: make_bench_jpegs FOLDER COUNT.
#include <windows.h>
#include <gdiplus.h>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include "bench/BenchPicture.h"
#include "imaging/gdipImageIO.h"

namespace {

std::wstring numberedName(const wchar_t* folder, int number)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"\\bench%02d.jpg", number);
    return std::wstring(folder) + name;
}

// The picture is encoded once and copied: the files are alike, which neither converter can take advantage of.
int makeFiles(const wchar_t* folder, int count)
{
    std::wstring first = numberedName(folder, 1);
    std::unique_ptr<Gdiplus::Bitmap> picture(makeBenchPicture());
    if (!gdipSaveToFile(first.c_str(), L"image/jpeg", picture.get(), nullptr)) {
        std::fprintf(stderr, "cannot write %ls\n", first.c_str());
        return 1;
    }
    for (int i = 2; i <= count; ++i) {
        std::wstring copy = numberedName(folder, i);
        if (!CopyFileW(first.c_str(), copy.c_str(), FALSE)) {
            std::fprintf(stderr, "cannot write %ls\n", copy.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int count = argc == 3 ? _wtoi(argv[2]) : 0;
    if (count < 1 || count > 99) {
        std::fprintf(stderr, "usage: make_bench_jpegs FOLDER COUNT (1 to 99)\n");
        return 2;
    }
    GdiplusSession graphics;
    if (!graphics.isStarted()) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    return makeFiles(argv[1], count);
}
