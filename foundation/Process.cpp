#include "foundation/Process.h"
#include <shellapi.h>

void Process::close()
{
    if (process)
        CloseHandle(process);
    process = nullptr;
}

bool Process::run(HWND owner, const wchar_t* file, const wchar_t* parameters)
{
    close();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = owner ? SEE_MASK_NOCLOSEPROCESS : SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_HIDE;
    bool started = ShellExecuteExW(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    if (!started) {
        if (info.hProcess)
            CloseHandle(info.hProcess);
        return false;
    }
    process = info.hProcess;
    if (!process)
        return false;
    // A program without a window (or one that never waits for input) makes this return at once.
    WaitForInputIdle(process, INFINITE);
    return true;
}
