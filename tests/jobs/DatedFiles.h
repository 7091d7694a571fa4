#pragma once
#include <windows.h>
#include "foundation/wstring.h"
#include "support/ScratchFolder.h"

inline SYSTEMTIME localTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// The path of a name in the folder, in the strings of the code under test.
inline wstring pathIn(const ScratchFolder& folder, const wchar_t* name)
{
    return folder.file(name).c_str();
}

inline void setLocalWriteTime(const wstring& path, const SYSTEMTIME& local)
{
    FILETIME localTime;
    FILETIME universal;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &universal);
    HANDLE file = CreateFileW(path.buffer(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &universal);
    CloseHandle(file);
}

// A small file in the folder, its folders made, last written at the local time.
inline wstring datedFile(const ScratchFolder& folder, const wchar_t* name, const SYSTEMTIME& local)
{
    wstring target = pathIn(folder, name);
    wstring base = pathIn(folder, L"");
    for (int i = base.length(); i < target.length(); ++i) {
        if (target.buffer()[i] == L'\\')
            CreateDirectoryW(target.left(i).buffer(), nullptr);
    }
    HANDLE handle = CreateFileW(target.buffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, "data", 4, &written, nullptr);
    CloseHandle(handle);
    setLocalWriteTime(target, local);
    return target;
}
