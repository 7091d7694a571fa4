#pragma once
#include <windows.h>

// A sink of bytes; failures throw Exception.
class OutputStream {
public:
    virtual ~OutputStream() = default;
    virtual void close() = 0;
    virtual DWORD write(const void* buffer, DWORD count) = 0;
    virtual void flush() = 0;
};
