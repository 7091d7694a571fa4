#pragma once
#include <windows.h>
#include "foundation/SharedBuffer.h"

class wstring;

// 8-bit text in the system's ANSI code page, or a raw byte buffer; shares its buffer as wstring does.
class astring {
public:
    astring();
    astring(const char* text);
    astring(const astring& other) = default;
    explicit astring(const wstring& text);
    virtual ~astring() = default;

    astring& operator=(const astring& other);
    astring& operator=(const char* text) { return assign(text); }
    astring& assign(const char* text);
    // UTF-16 text converted to the ANSI code page.
    astring& assign(const wchar_t* text);

    int length() const { return lstrlenA(bytes.data()); }
    const char* buffer() const { return bytes.data(); }
    int getCapacity() const { return bytes.size(); }
    int shareCount() const { return bytes.shareCount(); }
    // Makes the buffer private and exactly `count` bytes long; the caller terminates a shortened text.
    char* reserve(int count) { return bytes.reserve(count); }

private:
    SharedBuffer<char> bytes;
};
