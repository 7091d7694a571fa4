#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "foundation/Exception.h"
#include "foundation/MemoryStream.h"
#include "ScratchFolder.h"

using Bytes = std::vector<BYTE>;

// The code of the Exception that `call` throws; -1 when it throws none.
template <typename Call>
int thrownCode(Call call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.getCode();
    }
    return -1;
}

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
