// Runs every colour, convolution and pixel filter over a 4000 x 3000 picture and prints megapixels per second
// for each. The time is that of the in-place operation alone: the working copy is made beforehand.
// Each line ends with a hash of the result, so that a faster filter can be checked to give the same bytes.
#include <windows.h>
#include <gdiplus.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>
#include "bench/BenchPicture.h"
#include "conversion/Alpha.h"
#include "conversion/ChangeRgb.h"
#include "conversion/ColorFilter.h"
#include "conversion/ColorValue.h"
#include "conversion/ConvolutionFilter.h"
#include "conversion/Edge.h"
#include "conversion/EdgeDetect.h"
#include "conversion/Emboss.h"
#include "conversion/Equalize.h"
#include "conversion/GrayScale.h"
#include "conversion/InvertColor.h"
#include "conversion/Light.h"
#include "conversion/Median.h"
#include "conversion/PixelFilter.h"
#include "conversion/Pixelate.h"
#include "conversion/Posterize.h"
#include "conversion/RadialBlur.h"
#include "conversion/Sepia.h"
#include "conversion/Sharp.h"
#include "conversion/Soft.h"
#include "conversion/Temperature.h"

namespace {

struct Bench {
    const char* name;
    std::function<bool(Gdiplus::Bitmap*)> run;
};

template <typename Adapter>
std::function<bool(Gdiplus::Bitmap*)> inPlace(std::shared_ptr<Adapter> adapter)
{
    return [adapter](Gdiplus::Bitmap* picture) { return adapter->applyInPlace(picture, nullptr); };
}

std::function<bool(Gdiplus::Bitmap*)> colour(IColorFilter* filter)
{
    return inPlace(std::make_shared<ImageConvert::ColorFilter>(filter, true));
}

std::function<bool(Gdiplus::Bitmap*)> pixels(IPixelFilter* filter)
{
    return inPlace(std::make_shared<ImageConvert::PixelFilter>(filter, true));
}

std::function<bool(Gdiplus::Bitmap*)> kernel(IConvolutionFilter* filter)
{
    return inPlace(std::make_shared<ImageConvert::ConvolutionFilter>(filter, true, 1));
}

IColorFilter* rgbOffsets(bool excluding)
{
    auto filter = new ColorValue();
    filter->setRgb(40, -30, 20);
    if (excluding) {
        filter->setMode(ColorValueRgbExcluding);
        filter->setExcludedColor(0x808080);
    }
    return filter;
}

IColorFilter* hsvShift()
{
    auto filter = new ColorValue();
    filter->setHsv(30, 0.2, -0.1);
    return filter;
}

std::vector<Bench> benches()
{
    return {
        {"ColorValue rgb", colour(rgbOffsets(false))},
        {"ColorValue rgb excluding", colour(rgbOffsets(true))},
        {"ColorValue hsv", colour(hsvShift())},
        {"GrayScale", colour(new GrayScale(false))},
        {"GrayScale average", colour(new GrayScale(true))},
        {"Sepia", colour(new Sepia())},
        {"Temperature", colour(new Temperature(40))},
        {"InvertColor", colour(new InvertColor())},
        {"Light contrast x2", colour(new Light(LightContrast, 2))},
        {"Alpha", colour(new Alpha(128))},
        {"ChangeRgb", colour(new ChangeRgb(1, 2, 0))},
        {"Posterize", colour(new Posterize(4))},
        {"Soft", kernel(new Soft())},
        {"Sharp", kernel(new Sharp())},
        {"Edge", kernel(new Edge())},
        {"Emboss", kernel(new Emboss(1))},
        {"EdgeDetect", pixels(new EdgeDetect())},
        {"Median", pixels(new Median())},
        {"Pixelate", pixels(new Pixelate(8, false))},
        {"Equalize", pixels(new Equalize(0.4))},
        {"RadialBlur zoom", pixels(new RadialBlur(10, RadialBlurZoom))},
        {"RadialBlur rotation", pixels(new RadialBlur(10, RadialBlurRotation))},
    };
}

// FNV-1a over the pixels, row by row.
unsigned long long hashOf(Gdiplus::Bitmap* picture)
{
    BitmapLock lock(picture, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
    unsigned long long hash = 14695981039346656037ull;
    for (int y = 0; lock.isLocked() && y < lock.height(); ++y) {
        const BYTE* row = lock.row(y);
        for (int i = 0; i < lock.width() * 4; ++i)
            hash = (hash ^ row[i]) * 1099511628211ull;
    }
    return hash;
}

// The best of a few runs, each on a fresh copy: the machine may be busy with other work, and the first run
// of a filter may pay for fresh memory that later pictures of a batch find ready.
int runAll(Gdiplus::Bitmap* source)
{
    constexpr int Rounds = 3;
    int status = 0;
    for (const Bench& bench : benches()) {
        double best = 0;
        unsigned long long hash = 0;
        for (int round = 0; round < Rounds; ++round) {
            std::unique_ptr<Gdiplus::Bitmap> picture(copyBitmap32(source));
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            bool done = picture && bench.run(picture.get());
            QueryPerformanceCounter(&end);
            if (!done) {
                best = -1;
                break;
            }
            double elapsed = secondsBetween(start, end);
            best = round == 0 ? elapsed : std::min(best, elapsed);
            hash = hashOf(picture.get());
        }
        if (best < 0) {
            std::printf("%-26s failed (error %lu)\n", bench.name, GetLastError());
            status = 1;
            continue;
        }
        std::printf("%-26s %8.1f Mpx/s %8.1f ms  %016llx\n", bench.name, BenchWidth * BenchHeight / 1e6 / best,
                    best * 1e3, hash);
    }
    return status;
}

} // namespace

int wmain()
{
    return runOnBenchPicture(runAll);
}
