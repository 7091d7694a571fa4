#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// A fresh folder under the temporary path for one test; removed with the files directly inside it.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* name)
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t unique[32];
        wsprintfW(unique, L"-%lu-%lu", GetCurrentProcessId(), GetTickCount());
        path = wstring(base) + name + unique;
        CreateDirectoryW(path.buffer(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(file(L"*").buffer(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(file(entry.cFileName).buffer());
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(path.buffer());
    }

    wstring file(const wchar_t* name) const { return path + L"\\" + name; }

    wstring path;
};
