#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A private folder under the temporary folder, removed with the files in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name = L"korvilane-streams")
        : path(tempPath() + name + L"-" + std::to_wstring(GetCurrentProcessId()))
    {
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        for (const std::wstring& name : made)
            DeleteFileW(name.c_str());
        RemoveDirectoryW(path.c_str());
    }
    std::wstring file(const wchar_t* name) { return made.emplace_back(path + L"\\" + name); }

private:
    static std::wstring tempPath()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return temp;
    }
    std::wstring path;
    std::vector<std::wstring> made;
};
