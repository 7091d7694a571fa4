#pragma once
#include <string>
#include "ScratchFolder.h"

// The file's bytes with carriage returns dropped: MSXML under Wine writes LF line ends where Windows writes CRLF.
inline std::string withoutCarriageReturns(const std::wstring& path)
{
    std::string text;
    for (BYTE byte : readFile(path)) {
        if (byte != '\r')
            text += static_cast<char>(byte);
    }
    return text;
}

inline void writeText(const std::wstring& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}
