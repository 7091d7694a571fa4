// How long the converted preview of a 48-megapixel noisy JPEG keeps the user waiting, measured from outside the
// program as a user sees it, beside the command line's conversion of the same picture with the same (default)
// settings. The preview converts on the main window's thread, so the window answers no message until the
// preview shows. Run by hand on a display:
//   KORVILANE_NEEDS_DISPLAY=1 scripts/wine-run.sh "$PWD/build/wineprefix" build/bench/converted_preview_bench.exe
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include "BenchPicture.h"
#include "imaging/gdipImageIO.h"
#include "mainwindow/mainCommandIds.h"

namespace {

constexpr int Width = 8000;
constexpr int Height = 6000;
constexpr double Patience = 600;
// The main window's list, by the ids the program gives its children.
constexpr int SplitterId = 104, ListPaneId = 101, InnerListId = 101;

// Gradients under noise of half the range in every channel, which the JPEG encoder can hardly shrink.
Gdiplus::Bitmap* makeNoisyPicture()
{
    Gdiplus::Bitmap* picture = createBitmap(Width, Height);
    BitmapLock lock(picture, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    UINT32 noise = 12345;
    auto next = [&] { return (noise = noise * 1664525 + 1013904223) >> 25; };
    for (int y = 0; lock.isLocked() && y < Height; ++y) {
        UINT32* row = lock.pixels(y);
        for (int x = 0; x < Width; ++x) {
            UINT32 red = (x * 127 / Width + next()) & 0xFF;
            UINT32 green = (y * 127 / Height + next()) & 0xFF;
            UINT32 blue = ((x + y) * 127 / (Width + Height) + next()) & 0xFF;
            row[x] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
    return picture;
}

ULONGLONG fileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

bool waitUntil(const std::function<bool()>& condition)
{
    double end = now() + Patience;
    while (!condition()) {
        if (now() > end)
            return false;
        Sleep(10);
    }
    return true;
}

class Program {
public:
    Program(const std::wstring& path, const std::wstring& arguments)
    {
        std::wstring line = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    bool ended() { return started && WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }

    // The visible top-level window of the class that belongs to the program.
    HWND window(const wchar_t* className) const
    {
        for (HWND found = FindWindowExW(nullptr, nullptr, className, nullptr); found;
             found = FindWindowExW(nullptr, found, className, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == process.dwProcessId && IsWindowVisible(found))
                return found;
        }
        return nullptr;
    }

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

double commandLineSeconds(const std::wstring& program, const std::wstring& source, const std::wstring& target)
{
    double start = now();
    Program run(program, L"/file \"" + source + L"\" \"" + target + L"\" /format JPEG");
    if (!waitUntil([&] { return run.ended(); }))
        return -1;
    return now() - start;
}

// Opens the picture in the program's window, selects it and asks for its converted preview: the seconds until
// the preview shows, and the longest the main window took to answer meanwhile.
bool measurePreview(const std::wstring& program, const std::wstring& source, double& seconds, double& longest,
                    std::wstring& title)
{
    Program run(program, L"\"" + source + L"\"");
    HWND main = nullptr;
    HWND list = nullptr;
    if (!waitUntil([&] {
            main = run.window(L"KorvilaneMain");
            list = main ? GetDlgItem(GetDlgItem(GetDlgItem(main, SplitterId), ListPaneId), InnerListId) : nullptr;
            return list && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1;
        }))
        return false;
    PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    if (!waitUntil([&] { return SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED) != 0; }))
        return false;
    double start = now();
    PostMessageW(main, WM_COMMAND, IDM_CONVERTED_PREVIEW_WINDOWS, 0);
    longest = 0;
    HWND preview = nullptr;
    bool shown = waitUntil([&] {
        double asked = now();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(Patience * 1000), &answer);
        longest = std::max(longest, now() - asked);
        return (preview = run.window(L"KorvilanePreview")) != nullptr;
    });
    seconds = now() - start;
    wchar_t text[1024] = L"";
    if (preview)
        GetWindowTextW(preview, text, 1024);
    title = text;
    PostMessageW(main, WM_CLOSE, 0, 0);
    waitUntil([&] { return run.ended(); });
    return shown;
}

// The encoded size that the preview's title tells, in KB; 0 when it tells none.
unsigned long kilobytesInTitle(const std::wstring& title)
{
    size_t end = title.rfind(L"KB]");
    size_t start = title.rfind(L' ', end);
    if (end == std::wstring::npos || start == std::wstring::npos)
        return 0;
    return std::wcstoul(title.c_str() + start + 1, nullptr, 10);
}

std::wstring builtProgram()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\')) + L"\\..\\mainwindow\\korvilane.exe";
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"korvilane-converted-preview-bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    // A copy of its own starts from the default settings, whatever lies beside the built program.
    std::wstring program = folder + L"\\korvilane.exe";
    std::wstring source = folder + L"\\noisy.jpg";
    std::wstring target = folder + L"\\converted.jpg";
    if (!CopyFileW(argc > 1 ? argv[1] : builtProgram().c_str(), program.c_str(), FALSE)) {
        std::fprintf(stderr, "no program to copy (%lu)\n", GetLastError());
        return 1;
    }
    {
        GdiplusSession graphics;
        BitmapPtr picture(makeNoisyPicture());
        if (!gdipSaveToFile(source.c_str(), L"image/jpeg", picture.get(), nullptr)) {
            std::fprintf(stderr, "the picture could not be written\n");
            return 1;
        }
    }
    std::printf("%d x %d noisy JPEG (%.1f MB) converted to JPEG with the default settings:\n", Width, Height,
                fileSize(source) / 1e6);
    double commandLine = commandLineSeconds(program, source, target);
    std::printf("  command line, program start included: %.1f s, %.1f MB written\n", commandLine,
                fileSize(target) / 1e6);
    double seconds = 0;
    double longest = 0;
    std::wstring title;
    bool shown = measurePreview(program, source, seconds, longest, title);
    std::printf("  converted preview, from the command until shown: %.1f s%s, %lu KB in its title; the main window "
                "answered after at most %.1f s\n",
                seconds, shown ? "" : " (never shown)", kilobytesInTitle(title), longest);
    for (const std::wstring& file : {program, source, target})
        DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    return shown && commandLine >= 0 ? 0 : 1;
}
