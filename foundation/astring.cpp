#include "foundation/astring.h"
#include "foundation/wstring.h"

astring::astring()
{
    bytes.reserve(1);
}

astring::astring(const char* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    int length = lstrlenA(text);
    CopyMemory(bytes.reserve(length + 1), text, length);
}

astring::astring(const wstring& text) : astring()
{
    assign(text.buffer());
}

astring& astring::operator=(const astring& other)
{
    bytes = other.bytes;
    return *this;
}

astring& astring::assign(const char* text)
{
    if (text == bytes.data())
        return *this;
    astring copy(text);
    bytes.swap(copy.bytes);
    return *this;
}

astring& astring::assign(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    int count = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (count < 1)
        Exception::throwLastError();
    SharedBuffer<char> converted;
    WideCharToMultiByte(CP_ACP, 0, text, -1, converted.reserve(count), count, nullptr, nullptr);
    bytes.swap(converted);
    return *this;
}
