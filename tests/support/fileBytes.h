#pragma once
// Whole files as bytes, for tests that write their own input files and look at what the code wrote.
#include <windows.h>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

inline HANDLE openForReading(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Opened as a program that shares the file with no one (a sync client, a scanner) holds it.
inline HANDLE holdUnshared(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

inline HANDLE openForWriting(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

// Reads as another program would, also while the file is being written; nothing when it cannot be opened.
inline Bytes readBytes(const std::wstring& path)
{
    Bytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

inline void writeBytes(const std::wstring& path, const Bytes& bytes)
{
    HANDLE file = openForWriting(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

inline void writeText(const std::wstring& path, const std::string& text)
{
    writeBytes(path, Bytes(text.begin(), text.end()));
}

// The file's number on its volume: a file written anew and moved into its place has another one than the file
// it replaced, one written into has the same. 0 when the file cannot be opened.
inline ULONGLONG fileIdentity(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (file != INVALID_HANDLE_VALUE) {
        GetFileInformationByHandle(file, &info);
        CloseHandle(file);
    }
    return static_cast<ULONGLONG>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

// How many staged files (*.tmp) the folder holds; its path may end in a backslash.
inline int temporaryFilesIn(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    std::wstring separator = !folder.empty() && folder.back() == L'\\' ? L"" : L"\\";
    HANDLE search = FindFirstFileW((folder + separator + L"*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 1;
    while (FindNextFileW(search, &found))
        ++count;
    FindClose(search);
    return count;
}

// Every file of a folder tree by its path below the folder, with its bytes.
inline void collectFiles(const std::wstring& folder, const std::wstring& below, std::map<std::wstring, Bytes>& files)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            collectFiles(folder + L"\\" + name, below + name + L"\\", files);
        else
            files[below + name] = readBytes(folder + L"\\" + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
