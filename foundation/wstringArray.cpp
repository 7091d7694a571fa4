#include "foundation/wstringArray.h"
#include <new>

void wstringArray::add(const wstring& text)
{
    wstring* copy = new (std::nothrow) wstring(text);
    if (!copy)
        throw Exception(ErrorCode::NoMemory);
    if (!items.add(copy))
        Exception::throwLastError();
}

void wstringArray::addAll(const wstringArray& other)
{
    int n = other.count();
    for (int i = 0; i < n; ++i)
        add(other.at(i));
}

bool wstringArray::contains(const wstring& text, bool ignoreCase) const
{
    wstring sought = ignoreCase ? text.toLower() : text;
    for (int i = 0; i < count(); ++i) {
        const wstring& element = at(i);
        if ((ignoreCase ? element.toLower() : element).equals(sought))
            return true;
    }
    return false;
}

void wstringArray::split(const wstring& text, const wchar_t* separator, bool skipEmpty)
{
    removeAll();
    int separatorLength = lstrlenW(separator);
    int start = 0;
    for (;;) {
        int match = text.find(separator, start);
        wstring piece = match < 0 ? text.mid(start) : text.substring(start, match - start);
        if (!skipEmpty || !piece.isEmpty())
            add(piece);
        if (match < 0)
            return;
        start = match + separatorLength;
    }
}

void wstringArray::splitResourceString(HMODULE module, UINT id, const wchar_t* separator)
{
    wstring text;
    text.loadString(module, id);
    split(text, separator, false);
}

wstring wstringArray::join(const wchar_t* separator) const
{
    wstring result;
    for (int i = 0; i < count(); ++i) {
        if (i > 0)
            result.append(separator);
        result.append(at(i));
    }
    return result;
}
