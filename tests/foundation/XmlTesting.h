#pragma once
#include <string>
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"

// The file's bytes with carriage returns dropped: MSXML under Wine writes LF line ends where Windows writes CRLF.
inline std::string withoutCarriageReturns(const std::wstring& path)
{
    std::string text;
    for (BYTE byte : readBytes(path)) {
        if (byte != '\r')
            text += static_cast<char>(byte);
    }
    return text;
}
