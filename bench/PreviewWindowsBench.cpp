// What the preview windows cost the program, measured from outside it as a user would meet it: Enter on many
// small selected pictures (every window shown), and the preview of a very large picture opened and closed again
// and again before it has decoded. For each: the time until the windows show, the program's threads and memory
// at their peak, and the longest time the main window took to answer meanwhile. bench/preview-windows-bench.sh
// runs it; by hand:
//   preview_windows_bench make FOLDER COUNT        writes COUNT small pictures into FOLDER
//   preview_windows_bench large PATH               writes a 100-megapixel JPEG
//   preview_windows_bench enter COUNT PROGRAM FOLDER
//   preview_windows_bench rounds PROGRAM PATH
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include "BenchPicture.h"
#include "ProgramUnderBench.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr WPARAM SelectAllCommand = 4122;
constexpr WPARAM PreviewWindowsCommand = 4147;
constexpr wchar_t MainClass[] = L"KorvilaneMain";
constexpr wchar_t PreviewClass[] = L"KorvilanePreview";
constexpr int Rounds = 6;
constexpr DWORD RoundPause = 200;

// ---- the pictures ----

Gdiplus::Bitmap* gradient(int width, int height, int seed)
{
    Gdiplus::Bitmap* picture = createBitmap(width, height);
    BitmapLock lock(picture, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    UINT32 noise = 12345u + static_cast<UINT32>(seed);
    for (int y = 0; lock.isLocked() && y < height; ++y) {
        UINT32* row = lock.pixels(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525 + 1013904223;
            row[x] = 0xFF000000u | ((x * 255 / width + (noise >> 28)) & 0xFF) << 16 |
                     ((y * 255 / height + seed) & 0xFF) << 8 | ((x + y) / 40 & 0xFF);
        }
    }
    return picture;
}

int makeSmallPictures(const std::wstring& folder, int count)
{
    GdiplusSession graphics;
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        BitmapPtr picture(gradient(160, 120, i));
        wchar_t name[32];
        swprintf(name, 32, L"\\p%05d.jpg", i);
        if (!gdipSaveToFile((folder + name).c_str(), L"image/jpeg", picture.get(), nullptr)) {
            std::fprintf(stderr, "could not write picture %d\n", i);
            return 1;
        }
    }
    return 0;
}

int makeLargePicture(const std::wstring& path)
{
    GdiplusSession graphics;
    BitmapPtr picture(gradient(10000, 10000, 0));
    return gdipSaveToFile(path.c_str(), L"image/jpeg", picture.get(), nullptr) ? 0 : 1;
}

// ---- the program, seen from outside ----

struct Program {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    HWND list = nullptr;
};

struct Peaks {
    int threads = 0;
    double workingSetMegabytes = 0;
    double privateMegabytes = 0;
    double longestAnswer = 0;
};

int threadCount(DWORD process)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int threads = -1;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ProcessID == process)
            threads = static_cast<int>(entry.cntThreads);
    CloseHandle(snapshot);
    return threads;
}

void sample(const Program& program, Peaks& peaks)
{
    peaks.longestAnswer = std::max(peaks.longestAnswer, timedSend(program.main, WM_NULL));
    peaks.threads = std::max(peaks.threads, threadCount(program.process.dwProcessId));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(program.process.hProcess, &counters, sizeof(counters))) {
        peaks.workingSetMegabytes = megabytes(counters.PeakWorkingSetSize);
        peaks.privateMegabytes = megabytes(counters.PeakPagefileUsage);
    }
}

struct WindowCount {
    DWORD process;
    bool visibleOnly;
    int count = 0;
    HWND any = nullptr;
};

BOOL CALLBACK countPreviewWindow(HWND window, LPARAM lParam)
{
    auto* counted = reinterpret_cast<WindowCount*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (process != counted->process || lstrcmpW(className, PreviewClass) != 0)
        return TRUE;
    if (counted->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    ++counted->count;
    counted->any = window;
    return TRUE;
}

WindowCount previewWindows(const Program& program, bool visibleOnly)
{
    WindowCount counted{program.process.dwProcessId, visibleOnly};
    EnumWindows(countPreviewWindow, reinterpret_cast<LPARAM>(&counted));
    return counted;
}

// Samples until the condition holds; false when it did not within the time.
bool sampleUntil(const Program& program, Peaks& peaks, double seconds, const std::function<bool()>& done)
{
    double end = now() + seconds;
    while (now() < end) {
        sample(program, peaks);
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

// Started on the arguments, its window up and every one of `rows` pictures listed.
bool start(Program& program, const std::wstring& line, int rows)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = line;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &program.process)) {
        std::fprintf(stderr, "could not start %ls (%lu)\n", line.c_str(), GetLastError());
        return false;
    }
    double end = now() + 120;
    while (now() < end) {
        if (!program.main)
            program.main = FindWindowW(MainClass, nullptr);
        if (program.main && !program.list)
            program.list = findListView(program.main);
        DWORD_PTR listed = 0;
        if (program.list)
            SendMessageTimeoutW(program.list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &listed);
        if (static_cast<int>(listed) >= rows && IsWindowEnabled(program.main))
            return true;
        Sleep(20);
    }
    std::fprintf(stderr, "the pictures were not listed within two minutes\n");
    return false;
}

void finish(Program& program)
{
    if (program.main)
        PostMessageW(program.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, 120000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "the program did not end within two minutes\n");
        TerminateProcess(program.process.hProcess, 1);
    }
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
}

void report(const char* what, double shownAfter, int threadsBefore, const Peaks& peaks, int threadsAfter)
{
    std::printf("%s: shown after %.2f s; threads %d before, %d at most, %d once shown; peak memory %.0f MB "
                "(private %.0f MB); main window answered within %.0f ms at worst\n",
                what, shownAfter, threadsBefore, peaks.threads, threadsAfter, peaks.workingSetMegabytes,
                peaks.privateMegabytes, peaks.longestAnswer * 1000);
    std::printf("result\t%.2f\t%d\t%d\t%d\t%.0f\t%.0f\t%.0f\n", shownAfter, threadsBefore, peaks.threads, threadsAfter,
                peaks.workingSetMegabytes, peaks.privateMegabytes, peaks.longestAnswer * 1000);
}

int enterOnSelection(int count, const std::wstring& program, const std::wstring& folder)
{
    Program target;
    if (!start(target, L"\"" + program + L"\" \"" + folder + L"\"", count))
        return 1;
    SendMessageW(target.main, WM_COMMAND, SelectAllCommand, 0);
    int threadsBefore = threadCount(target.process.dwProcessId);
    Peaks peaks;
    double start = now();
    PostMessageW(target.list, WM_KEYDOWN, VK_RETURN, 0);
    bool shown = sampleUntil(target, peaks, 300, [&] { return previewWindows(target, true).count >= count; });
    double shownAfter = now() - start;
    int threadsAfter = threadCount(target.process.dwProcessId);
    std::printf("%d of %d windows shown\n", previewWindows(target, true).count, count);
    report("Enter on the selection", shown ? shownAfter : -1, threadsBefore, peaks, threadsAfter);
    finish(target);
    return shown ? 0 : 1;
}

// Opened and closed again before it has decoded, then opened for good.
int openAndClose(const std::wstring& program, const std::wstring& picture)
{
    Program target;
    if (!start(target, L"\"" + program + L"\" \"" + picture + L"\"", 1))
        return 1;
    SendMessageW(target.main, WM_COMMAND, SelectAllCommand, 0);
    int threadsBefore = threadCount(target.process.dwProcessId);
    Peaks peaks;
    double start = now();
    for (int round = 0; round <= Rounds; ++round) {
        PostMessageW(target.main, WM_COMMAND, PreviewWindowsCommand, 0);
        HWND window = nullptr;
        sampleUntil(target, peaks, 60, [&] { return (window = previewWindows(target, false).any) != nullptr; });
        if (round == Rounds)
            break;
        double pause = now() + RoundPause / 1000.0;
        sampleUntil(target, peaks, 60, [&] { return now() >= pause; });
        PostMessageW(window, WM_CLOSE, 0, 0);
        sampleUntil(target, peaks, 60, [&] { return !IsWindow(window); });
    }
    bool shown = sampleUntil(target, peaks, 300, [&] { return previewWindows(target, true).count >= 1; });
    double shownAfter = now() - start;
    // What is left running once the picture shows.
    double settled = now() + 2;
    sampleUntil(target, peaks, 60, [&] { return now() >= settled; });
    int threadsAfter = threadCount(target.process.dwProcessId);
    report("Six rounds of open and close, then open", shown ? shownAfter : -1, threadsBefore, peaks, threadsAfter);
    finish(target);
    return shown ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"make" && argc == 4)
        return makeSmallPictures(argv[2], _wtoi(argv[3]));
    if (mode == L"large" && argc == 3)
        return makeLargePicture(argv[2]);
    if (mode == L"enter" && argc == 5)
        return enterOnSelection(_wtoi(argv[2]), argv[3], argv[4]);
    if (mode == L"rounds" && argc == 4)
        return openAndClose(argv[2], argv[3]);
    std::fprintf(stderr, "preview_windows_bench make FOLDER COUNT | large PATH | enter COUNT PROGRAM FOLDER | "
                         "rounds PROGRAM PATH\n");
    return 2;
}
