#pragma once
// What the benches that time the program from outside ask of it: its list window, its answers and its memory.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include "BenchPicture.h"

// The first list view among the window's children; null when it has none.
inline HWND findListView(HWND window)
{
    HWND found = nullptr;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t className[64] = L"";
            GetClassNameW(child, className, 64);
            if (lstrcmpiW(className, WC_LISTVIEWW) != 0)
                return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Seconds that the window's thread took to answer; the answer in `result`, -1 when none came within a minute.
inline double timedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result)
{
    double start = now();
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 60000, &result))
        result = static_cast<DWORD_PTR>(-1);
    return now() - start;
}

inline double timedSend(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    return timedSend(window, message, wParam, lParam, result);
}

inline double megabytes(SIZE_T bytes)
{
    return bytes / (1024.0 * 1024.0);
}

// The process's peak working set; -1 when it cannot be read.
inline double peakMegabytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return -1;
    return megabytes(counters.PeakWorkingSetSize);
}
