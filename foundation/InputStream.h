#pragma once
#include <windows.h>

// A source of bytes. A read that returns fewer bytes than asked sets the end flag; failures throw Exception.
class InputStream {
public:
    virtual ~InputStream() = default;
    virtual void close() = 0;
    virtual DWORD read(void* buffer, DWORD count, bool& endOfData) = 0;
};
