#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/ExpectCode.h"
#include "foundation/MemoryStream.h"

using Bytes = std::vector<BYTE>;


class BytesIn : public InputMemoryStream {
public:
    explicit BytesIn(const Bytes& bytes)
    {
        open(bytes.empty() ? static_cast<const void*>("") : bytes.data(), static_cast<int>(bytes.size()));
    }
};

class BytesOut : public OutputMemoryStream {
public:
    BytesOut() { open(); }
    Bytes bytes() const
    {
        auto data = reinterpret_cast<const BYTE*>(getBuffer());
        return Bytes(data, data + getLength());
    }
};

// A private folder under the temporary folder, removed with the files in it.
class ScratchFolder {
public:
    ScratchFolder() : path(tempPath() + L"korvilane-streams-" + std::to_wstring(GetCurrentProcessId()))
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

// Reads as another program would while the file is being written.
inline Bytes readFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    Bytes bytes(1 << 16);
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

inline void writeFile(const std::wstring& path, const Bytes& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
}
