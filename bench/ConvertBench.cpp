// korvilane's command-line conversion timed: convert_bench SETTINGS FOLDER OUTPUT loads the settings file (as
// /par does) and converts every JPEG of FOLDER to JPEG into OUTPUT three times: through the batch with one
// worker, through the batch with as many workers as it takes, and step by step as the one-worker batch does
// each picture, with the time of each step. bench/convert-bench.sh runs it beside the command line itself.
#include <windows.h>
#include <gdiplus.h>
#include <wincodecsdk.h>
#include <cstdio>
#include <string>
#include <vector>
#include "bench/BenchPicture.h"
#include "conversion/SaveImage.h"
#include "foundation/ComPtr.h"
#include "foundation/Decimal.h"
#include "foundation/Exception.h"
#include "foundation/GarbageCollector.h"
#include "imaging/BitmapPtr.h"
#include "foundation/wstringArray.h"
#include "imaging/pictureLoading.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/applyEffectsInOrder.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"

namespace {

struct StepTimes {
    double load = 0;
    double convert = 0;
    double save = 0;
};

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start); }
    // Seconds since the start or the last lap.
    double lap()
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        double seconds = secondsBetween(start, now);
        start = now;
        return seconds;
    }

private:
    LARGE_INTEGER start;
};

std::vector<std::wstring> jpegsIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.jpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// One picture as the command-line batch converts it to JPEG; false when a step failed.
bool convertOne(const AppSetting& setting, const std::wstring& source, const std::wstring& target,
                StepTimes& times)
{
    constexpr int format = OutputFormat::Jpeg;
    bool withMetadata = setting.jpegEnable && setting.jpegExif;
    Decimal noDpi(0);
    bool withResolution = usesSourceResolution(noDpi, noDpi);
    ComPtr<IWICMetadataBlockReader> metadata;
    WORD bitsPerPixel = 0;
    Decimal dpiX(0);
    Decimal dpiY(0);
    Stopwatch watch;
    BitmapPtr picture(loadBitmap(source.c_str(), withMetadata ? metadata.out() : nullptr, &bitsPerPixel,
                                 withResolution ? &dpiX : nullptr, withResolution ? &dpiY : nullptr));
    times.load += watch.lap();
    if (!picture)
        return false;
    Gdiplus::Bitmap* converting = picture.release();
    bool converted = applyEffectsInOrder(converting, format, bitsPerPixel, nullptr);
    picture.reset(converting);
    times.convert += watch.lap();
    if (!converted)
        return false;
    bool saved = saveImageWithDpi(target.c_str(), format, picture.get(), metadata.get(), nullptr, noDpi, noDpi,
                                  dpiX, dpiY);
    times.save += watch.lap();
    return saved;
}

int convertAll(const wchar_t* settingsFile, const std::wstring& folder, const std::wstring& output)
{
    AppSetting setting;
    setting.setSectionsAndPath(settingsFile);
    setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
    GarbageCollector collector;
    AppServices services(&setting, &collector);
    std::vector<std::wstring> names = jpegsIn(folder);
    if (names.empty()) {
        std::fprintf(stderr, "no JPEG files in %ls\n", folder.c_str());
        return 1;
    }
    for (int workers : {1, 0}) {
        wstringArray sources;
        wstringArray targets;
        for (const std::wstring& name : names) {
            sources.add((folder + L"\\" + name).c_str());
            targets.add((output + L"\\" + name).c_str());
        }
        // Existing targets would make the batch wait for the earlier pictures before each: every run starts
        // from an empty output folder.
        for (int i = 0; i < targets.count(); ++i)
            DeleteFileW(targets.at(i).buffer());
        CommandLineBatchOptions options;
        options.workers = workers;
        CommandLineBatch batch(setting, nullptr, nullptr);
        Stopwatch watch;
        if (batch.run(sources, targets, options) != CommandLineBatch::AllWritten) {
            std::fprintf(stderr, "the batch failed\n");
            return 1;
        }
        double elapsed = watch.lap();
        std::printf("batch, %-12s %.2f pictures per second (%d in %.2f s)\n",
                    workers == 1 ? "one worker:" : "pipelined:", names.size() / elapsed,
                    static_cast<int>(names.size()), elapsed);
    }
    StepTimes times;
    Stopwatch whole;
    for (const std::wstring& name : names) {
        DeleteFileW((output + L"\\" + name).c_str());
        if (!convertOne(setting, folder + L"\\" + name, output + L"\\" + name, times)) {
            std::fprintf(stderr, "%ls failed (error %lu)\n", name.c_str(), GetLastError());
            return 1;
        }
    }
    double elapsed = whole.lap();
    double count = static_cast<double>(names.size());
    std::printf("steps one by one: %.2f pictures per second (%d in %.2f s); per picture load %.0f ms, convert "
                "%.0f ms, save %.0f ms\n",
                count / elapsed, static_cast<int>(names.size()), elapsed, times.load / count * 1e3,
                times.convert / count * 1e3, times.save / count * 1e3);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: convert_bench SETTINGS FOLDER OUTPUT\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) {
        std::fprintf(stderr, "COM did not start\n");
        return 1;
    }
    int status = 1;
    {
        GdiplusSession graphics;
        try {
            status = graphics.isStarted() ? convertAll(argv[1], argv[2], argv[3]) : 1;
        } catch (const Exception& error) {
            std::fprintf(stderr, "failed with error %d\n", error.getCode());
        }
    }
    CoUninitialize();
    return status;
}
