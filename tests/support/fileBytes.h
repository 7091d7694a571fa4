#pragma once
// Whole files as bytes, for tests that write their own input files and look at what the code wrote.
#include <windows.h>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

inline HANDLE openForReading(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
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
