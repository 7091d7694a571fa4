#pragma once
// A private folder of generated files under the temporary folder for the tests of the file lists: 24-bit BMP
// pictures of chosen sizes, plain files of a chosen length, sub-folders, and the write times a test needs.
// Everything made is removed with the folder.
#include <windows.h>
#include <string>
#include <vector>

class PictureFolder {
public:
    explicit PictureFolder(const std::wstring& name)
        : root(tempPath() + name + L"-" + std::to_wstring(GetCurrentProcessId()))
    {
        CreateDirectoryW(root.c_str(), nullptr);
        folders.push_back(root);
    }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;
    ~PictureFolder()
    {
        for (auto file = files.rbegin(); file != files.rend(); ++file)
            DeleteFileW(file->c_str());
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
            RemoveDirectoryW(folder->c_str());
    }

    const std::wstring& path() const { return root; }
    std::wstring pathOf(const std::wstring& name) const { return root + L"\\" + name; }

    // A picture of blue and red stripes; its file is 54 + height * (width * 3 rounded up to 4) bytes long.
    std::wstring picture(const std::wstring& name, int width, int height)
    {
        int stride = (width * 3 + 3) & ~3;
        std::vector<BYTE> bytes(54 + size_t(stride) * height);
        BITMAPFILEHEADER* file = reinterpret_cast<BITMAPFILEHEADER*>(bytes.data());
        file->bfType = 0x4D42;
        file->bfSize = static_cast<DWORD>(bytes.size());
        file->bfOffBits = 54;
        BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(bytes.data() + 14);
        info->biSize = sizeof(BITMAPINFOHEADER);
        info->biWidth = width;
        info->biHeight = height;
        info->biPlanes = 1;
        info->biBitCount = 24;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                BYTE* pixel = bytes.data() + 54 + size_t(y) * stride + x * 3;
                pixel[(y / 4) % 2 ? 2 : 0] = 0xC0;
            }
        }
        return write(name, bytes);
    }

    std::wstring file(const std::wstring& name, size_t length) { return write(name, std::vector<BYTE>(length, 'k')); }

    std::wstring folder(const std::wstring& name)
    {
        std::wstring made = pathOf(name);
        CreateDirectoryW(made.c_str(), nullptr);
        folders.push_back(made);
        return made;
    }

    // The last write time as a local date and time.
    static void setWriteTime(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute)
    {
        SYSTEMTIME local{year, month, 0, day, hour, minute, 0, 0};
        FILETIME localTime, time;
        SystemTimeToFileTime(&local, &localTime);
        LocalFileTimeToFileTime(&localTime, &time);
        HANDLE handle = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    }

private:
    static std::wstring tempPath()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return temp;
    }

    std::wstring write(const std::wstring& name, const std::vector<BYTE>& bytes)
    {
        std::wstring made = pathOf(name);
        HANDLE handle = CreateFileW(made.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(handle);
        files.push_back(made);
        return made;
    }

    std::wstring root;
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
};
