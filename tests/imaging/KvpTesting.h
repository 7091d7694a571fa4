#pragma once
#include <windows.h>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "plugin/KvpFormat.h"
#include "support/ImagingTestSupport.h"

// The test plug-ins lie beside the test program.
inline std::wstring pluginPath(const wchar_t* name)
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

// A KVP picture whose rows are stored as the flags say; colourOf gives the bytes of pixel (x, y counted from
// the top), blue first.
inline std::wstring writeKvp(const std::wstring& path, int width, int height, int bitCount, BYTE flags,
                             const std::function<UINT32(int, int)>& colourOf)
{
    Kvp::Header header = {{'K', 'V', 'P', 'X'}, static_cast<WORD>(width), static_cast<WORD>(height),
                          static_cast<BYTE>(bitCount), flags, {}};
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(&header), reinterpret_cast<BYTE*>(&header) + sizeof(header));
    int stride = (bitCount * width + 31) / 32 * 4;
    for (int row = 0; row < height; ++row) {
        int y = flags & Kvp::TopDown ? row : height - 1 - row;
        std::vector<BYTE> line(stride);
        for (int x = 0; x < width && bitCount >= 24; ++x) {
            UINT32 colour = colourOf(x, y);
            std::memcpy(&line[x * bitCount / 8], &colour, bitCount / 8);
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    writeBytes(path, bytes);
    return path;
}
