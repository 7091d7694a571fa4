#include "foundation/wstring.h"
#include "foundation/astring.h"
#include <oleauto.h>

namespace {

const wchar_t* required(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    return text;
}

bool isTrimmed(wchar_t unit)
{
    return unit <= 32;
}

bool sameText(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a, aLength, b, bLength) == CSTR_EQUAL;
}

} // namespace

wstring::wstring()
{
    chars.reserve(1);
}

wstring::wstring(const wchar_t* text)
{
    int length = lstrlenW(required(text));
    CopyMemory(chars.reserve(length + 1), text, length * sizeof(wchar_t));
}

wstring::wstring(const astring& text) : wstring()
{
    assign(text.buffer());
}

wstring::wstring(const wstring& first, const wstring& second) : wstring(first)
{
    append(second);
}

wstring::wstring(const wstring& first, const wchar_t* second) : wstring(first)
{
    append(second);
}

wstring::wstring(const wchar_t* first, const wstring& second) : wstring(first)
{
    append(second);
}

wstring& wstring::operator=(const wstring& other)
{
    chars = other.chars;
    return *this;
}

wstring& wstring::assign(const wchar_t* text)
{
    if (required(text) == chars.data())
        return *this;
    // A fresh copy first: the text may lie inside this string's own buffer.
    wstring copy(text);
    chars.swap(copy.chars);
    return *this;
}

wstring& wstring::assign(const char* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units < 1)
        Exception::throwLastError();
    SharedBuffer<wchar_t> converted;
    MultiByteToWideChar(CP_ACP, 0, text, -1, converted.reserve(units), units);
    chars.swap(converted);
    return *this;
}

void wstring::setInt(int value)
{
    wchar_t text[16];
    wsprintfW(text, L"%d", value);
    assign(text);
}

wstring wstring::fromInt(int value)
{
    wstring text;
    text.setInt(value);
    return text;
}

void wstring::loadString(HMODULE module, UINT id)
{
    wchar_t text[1024];
    if (LoadStringW(module, id, text, 1024) < 1)
        Exception::throwLastError();
    assign(text);
}

int wstring::compare(const wchar_t* text) const
{
    return lstrcmpW(chars.data(), required(text));
}

bool wstring::matchesAt(const wchar_t* text, int position, const wchar_t* pattern, int patternLength) const
{
    return sameText(text + position, patternLength, pattern, patternLength);
}

bool wstring::startsWith(const wchar_t* text) const
{
    int patternLength = lstrlenW(required(text));
    int ownLength = length();
    return sameText(chars.data(), ownLength < patternLength ? ownLength : patternLength, text, patternLength);
}

bool wstring::endsWith(const wchar_t* text) const
{
    const wchar_t* own = chars.data();
    const wchar_t* ownTail = own + length();
    const wchar_t* other = required(text);
    for (const wchar_t* p = other + lstrlenW(other); p > other;) {
        p = CharPrevW(other, p);
        ownTail = CharPrevW(own, ownTail);
    }
    return sameText(ownTail, -1, other, -1);
}

int wstring::find(const wchar_t* pattern, int start) const
{
    int patternLength = lstrlenW(required(pattern));
    int ownLength = length();
    if (patternLength == 0)
        return -1;
    if (start < 0)
        start = 0;
    const wchar_t* text = chars.data();
    for (int position = start; position + patternLength <= ownLength;
         position = static_cast<int>(CharNextW(text + position) - text)) {
        if (matchesAt(text, position, pattern, patternLength))
            return position;
    }
    return -1;
}

int wstring::rfind(const wchar_t* pattern, int start) const
{
    int patternLength = lstrlenW(required(pattern));
    int ownLength = length();
    if (start >= ownLength)
        start = ownLength - 1;
    if (patternLength == 0 || start < 0)
        return -1;
    const wchar_t* text = chars.data();
    for (int position = start;; position = static_cast<int>(CharPrevW(text, text + position) - text)) {
        if (position + patternLength <= ownLength && matchesAt(text, position, pattern, patternLength))
            return position;
        if (position == 0)
            return -1;
    }
}

int wstring::toInt() const
{
    wstring trimmed = trim();
    if (trimmed.isEmpty())
        return 0;
    LONG value = 0;
    if (FAILED(VarI4FromStr(const_cast<wchar_t*>(trimmed.buffer()), LOCALE_USER_DEFAULT, 0, &value)))
        return 0;
    return value;
}

wstring wstring::toUpper() const
{
    wstring result(*this);
    int units = result.length();
    CharUpperBuffW(result.reserve(result.getCapacity()), static_cast<DWORD>(units));
    return result;
}

wstring wstring::toLower() const
{
    wstring result(*this);
    int units = result.length();
    CharLowerBuffW(result.reserve(result.getCapacity()), static_cast<DWORD>(units));
    return result;
}

wstring wstring::trimLeft() const
{
    const wchar_t* text = chars.data();
    int skipped = 0;
    while (text[skipped] && isTrimmed(text[skipped]))
        ++skipped;
    return wstring(text + skipped);
}

wstring wstring::trimRight() const
{
    int kept = length();
    while (kept > 0 && isTrimmed(chars.data()[kept - 1]))
        --kept;
    return substring(0, kept);
}

wstring wstring::substring(int start, int count) const
{
    int ownLength = length();
    if (start < 0)
        start = 0;
    else if (start >= ownLength)
        return wstring();
    if (ownLength - start < count)
        count = ownLength - start;
    if (count < 1)
        return wstring();
    wstring result;
    CopyMemory(result.reserve(count + 1), chars.data() + start, count * sizeof(wchar_t));
    return result;
}

wstring wstring::mid(int start) const
{
    if (start < 0)
        start = 0;
    return substring(start, length() - start);
}

wstring wstring::padLeft(int width) const
{
    int ownLength = length();
    if (ownLength >= width)
        return *this;
    int zeros = width - ownLength;
    wstring result;
    wchar_t* target = result.reserve(width + 1);
    for (int i = 0; i < zeros; ++i)
        target[i] = L'0';
    CopyMemory(target + zeros, chars.data(), ownLength * sizeof(wchar_t));
    return result;
}

wstring wstring::replace(const wchar_t* from, const wchar_t* to) const
{
    int fromLength = lstrlenW(required(from));
    int toLength = lstrlenW(required(to));
    if (fromLength == 0)
        return *this;
    int ownLength = length();
    int resultLength = ownLength;
    for (int match = find(from, 0); match >= 0; match = find(from, match + fromLength))
        resultLength += toLength - fromLength;

    wstring result;
    wchar_t* target = result.reserve(resultLength + 1);
    const wchar_t* text = chars.data();
    int copied = 0;
    for (int match = find(from, 0); match >= 0; match = find(from, match + fromLength)) {
        CopyMemory(target, text + copied, (match - copied) * sizeof(wchar_t));
        target += match - copied;
        CopyMemory(target, to, toLength * sizeof(wchar_t));
        target += toLength;
        copied = match + fromLength;
    }
    CopyMemory(target, text + copied, (ownLength - copied) * sizeof(wchar_t));
    return result;
}

wstring& wstring::append(const wchar_t* text)
{
    required(text);
    if (text >= chars.data() && text < chars.data() + chars.size()) {
        // Growing the buffer may move it, so a string appends a copy of its own text.
        wstring self(text);
        return append(self.buffer());
    }
    int ownLength = length();
    int addedLength = lstrlenW(text);
    wchar_t* target = chars.reserve(ownLength + addedLength + 1);
    CopyMemory(target + ownLength, text, addedLength * sizeof(wchar_t));
    target[ownLength + addedLength] = 0;
    return *this;
}

wchar_t* wstring::at(int index)
{
    if (index < 0 || index >= chars.size() - 1)
        Exception::throwInvalidArgument();
    return chars.reserve(chars.size()) + index;
}
