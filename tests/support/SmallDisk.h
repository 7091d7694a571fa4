#pragma once
// The small disk of its own that the full-disk entries mount (tests/scripts/FullDiskTest.sh), and how much of it
// a test leaves free.
#include <windows.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include "foundation/FileHandle.h"
#include "support/fileBytes.h"

// The disk's folder, or empty when the test runs without one.
inline std::wstring smallDiskFolder()
{
    const wchar_t* folder = _wgetenv(L"KORVILANE_FULL_FOLDER");
    return folder ? folder : L"";
}

inline ULONGLONG freeRoomOf(const std::wstring& folder)
{
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

// A file that takes all of the disk's free room but the given bytes (a multiple of the disk's 4 KB pages)
// for as long as it is held, and goes with its handle.
class DiskFiller {
public:
    DiskFiller(const std::wstring& folder, ULONGLONG room)
        : file(CreateFileW((folder + L"\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_DELETE_ON_CLOSE, nullptr))
    {
        ULONGLONG available = freeRoomOf(folder);
        EXPECT_TRUE(file.isValid() && available >= room) << available;
        std::vector<BYTE> block(64 * 1024, 'f');
        for (ULONGLONG left = available > room ? available - room : 0; file.isValid() && left > 0;) {
            DWORD part = static_cast<DWORD>(left < block.size() ? left : block.size());
            DWORD written = 0;
            if (!WriteFile(file.get(), block.data(), part, &written, nullptr) || written == 0)
                break;
            left -= written;
        }
        EXPECT_EQ(freeRoomOf(folder), room);
    }

private:
    FileHandle file;
};

// The files on the disk but the filler, with what is in folders of it.
inline std::vector<std::wstring> filesBesideFiller(const std::wstring& folder)
{
    std::map<std::wstring, Bytes> files;
    collectFiles(folder, L"", files);
    std::vector<std::wstring> names;
    for (const auto& file : files)
        if (file.first != L"filler")
            names.push_back(file.first);
    return names;
}
