#pragma once
#include <windows.h>
#include <string>

// A folder of the test's own under the temporary folder ("<name>-<process id>"), emptied when it is made and
// removed afterwards with every file and folder in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name = L"korvilane-streams")
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
        removeTree(path);
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { removeTree(path); }

    // The full path of a name in the folder; the name may hold sub-folders. Nothing is made.
    std::wstring file(const wchar_t* name) const { return path + L"\\" + name; }
    std::wstring file(const std::wstring& name) const { return file(name.c_str()); }

    // Removes the directory with everything in it.
    static void removeTree(const std::wstring& directory)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name(found.cFileName);
                std::wstring entry = directory + L"\\" + name;
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(entry.c_str());
                else if (name != L"." && name != L"..")
                    removeTree(entry);
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(directory.c_str());
    }

private:
    std::wstring path;
};
