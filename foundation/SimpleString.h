#pragma once
#include "foundation/wstring.h"

// A fixed buffer of 1,024 UTF-16 units; the program's message texts live in global instances of it.
class SimpleString {
public:
    static constexpr int Capacity = 1024;

    SimpleString() { text[0] = 0; }
    virtual ~SimpleString() = default;

    // Keeps at most 1,023 units of the text; null empties it.
    void set(const wchar_t* value);
    const wchar_t* get() const { return text; }
    wstring toWstring() const { return wstring(text); }

    wchar_t text[Capacity];
};
