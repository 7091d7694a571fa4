#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// A folder of the test's own under the temporary path, removed afterwards with every file and folder in it.
class ScratchTree {
public:
    explicit ScratchTree(const wchar_t* name)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        wstring number;
        number.setInt(static_cast<int>(GetCurrentProcessId()));
        root = wstring(temp) + name + L"-" + number + L"\\";
        removeTree(root);
        CreateDirectoryW(root.buffer(), nullptr);
    }
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;
    ~ScratchTree() { removeTree(root); }

    // The path of a name under the folder (may hold sub-folders); nothing is created.
    wstring path(const wchar_t* name) const { return root + name; }
    // A small file under the folder, its folders created, last written at the given local time.
    wstring file(const wchar_t* name, const SYSTEMTIME& localWriteTime)
    {
        wstring target = path(name);
        makeFolders(target);
        HANDLE handle = CreateFileW(target.buffer(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, "data", 4, &written, nullptr);
        FILETIME local;
        FILETIME universal;
        SystemTimeToFileTime(&localWriteTime, &local);
        LocalFileTimeToFileTime(&local, &universal);
        SetFileTime(handle, nullptr, nullptr, &universal);
        CloseHandle(handle);
        return target;
    }
    const wstring& getRoot() const { return root; }

private:
    void makeFolders(const wstring& target)
    {
        for (int i = root.length(); i < target.length(); ++i) {
            if (target.buffer()[i] == L'\\')
                CreateDirectoryW(target.left(i).buffer(), nullptr);
        }
    }
    static void removeTree(const wstring& directory)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((directory + L"*").buffer(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                wstring name(found.cFileName);
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((directory + name).buffer());
                else if (name != L"." && name != L"..")
                    removeTree(directory + name + L"\\");
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(directory.buffer());
    }

    wstring root;
};

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
