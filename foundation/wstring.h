#pragma once
#include <windows.h>
#include "foundation/SharedBuffer.h"

class astring;

// The system's UTF-16 string: zero-terminated, shared between copies until one of them writes. Comparison
// and search follow the user's locale (CompareStringW, case-sensitive). Null text arguments throw Exception 87.
class wstring {
public:
    wstring();
    wstring(const wchar_t* text);
    wstring(const wstring& other) = default;
    explicit wstring(const astring& text);
    wstring(const wstring& first, const wstring& second);
    wstring(const wstring& first, const wchar_t* second);
    wstring(const wchar_t* first, const wstring& second);
    virtual ~wstring() = default;

    wstring& operator=(const wstring& other);
    wstring& operator=(const wchar_t* text) { return assign(text); }
    wstring& assign(const wchar_t* text);
    wstring& assign(const wstring& other) { return *this = other; }
    // Text in the ANSI code page.
    wstring& assign(const char* text);
    void set(const wchar_t* text) { assign(text); }
    void copy(const wstring& other) { *this = other; }
    void setInt(int value);
    // The number in decimal digits ("-12").
    static wstring fromInt(int value);
    // At most 1,023 characters; a missing or empty resource throws Exception with the last error.
    void loadString(HMODULE module, UINT id);

    int length() const { return lstrlenW(chars.data()); }
    bool isEmpty() const { return chars.data()[0] == 0; }
    const wchar_t* buffer() const { return chars.data(); }
    int getCapacity() const { return chars.size(); }
    int shareCount() const { return chars.shareCount(); }

    int compare(const wchar_t* text) const;
    bool equals(const wchar_t* text) const { return compare(text) == 0; }
    bool equals(const wstring& other) const { return equals(other.buffer()); }
    bool notEquals(const wchar_t* text) const { return !equals(text); }
    bool operator==(const wstring& other) const { return equals(other.buffer()); }
    bool operator==(const wchar_t* text) const { return equals(text); }
    bool startsWith(const wchar_t* text) const;
    bool endsWith(const wchar_t* text) const;
    int find(const wchar_t* pattern, int start = 0) const;
    int rfind(const wchar_t* pattern, int start) const;
    // The trimmed text as a number; 0 when it is empty or no number.
    int toInt() const;

    wstring toUpper() const;
    wstring toLower() const;
    wstring trimLeft() const;
    wstring trimRight() const;
    wstring trim() const { return trimLeft().trimRight(); }
    wstring substring(int start, int count) const;
    wstring left(int count) const { return substring(0, count); }
    wstring mid(int start) const;
    wstring right(int count) const { return mid(length() - count); }
    wstring padLeft(int width) const;
    wstring replace(const wchar_t* from, const wchar_t* to) const;

    wstring& append(const wchar_t* text);
    wstring& append(const wstring& other) { return append(other.buffer()); }
    wstring& operator+=(const wchar_t* text) { return append(text); }
    wstring& operator+=(const wstring& other) { return append(other.buffer()); }
    // Writable pointer to one unit; the buffer becomes private first.
    wchar_t* at(int index);
    // Makes the buffer private and exactly `units` long; the caller terminates a shortened text.
    wchar_t* reserve(int units) { return chars.reserve(units); }

private:
    bool matchesAt(const wchar_t* text, int position, const wchar_t* pattern, int patternLength) const;

    SharedBuffer<wchar_t> chars;
};

inline wstring operator+(const wstring& first, const wstring& second) { return wstring(first, second); }
inline wstring operator+(const wstring& first, const wchar_t* second) { return wstring(first, second); }
inline wstring operator+(const wchar_t* first, const wstring& second) { return wstring(first, second); }
