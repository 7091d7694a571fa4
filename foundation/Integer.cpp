#include "foundation/Integer.h"

namespace {

int hexDigit(wchar_t unit)
{
    if (unit >= L'0' && unit <= L'9')
        return unit - L'0';
    if (unit >= L'a' && unit <= L'f')
        return unit - L'a' + 10;
    Exception::throwInvalidArgument();
}

int parseHex(const wchar_t* digits, int count)
{
    if (count > 8)
        Exception::throwInvalidArgument();
    unsigned int pattern = 0;
    for (int i = 0; i < count; ++i)
        pattern = pattern << 4 | static_cast<unsigned int>(hexDigit(digits[i]));
    return static_cast<int>(pattern);
}

int parseDecimal(const wchar_t* text)
{
    bool negative = text[0] == L'-';
    const wchar_t* digits = negative ? text + 1 : text;
    int count = lstrlenW(digits);
    if (count == 0 || count > 10)
        Exception::throwInvalidArgument();
    long long magnitude = 0;
    for (int i = 0; i < count; ++i) {
        if (digits[i] < L'0' || digits[i] > L'9')
            Exception::throwInvalidArgument();
        magnitude = magnitude * 10 + (digits[i] - L'0');
    }
    if (magnitude > (negative ? 2147483648LL : 2147483647LL))
        Exception::throwInvalidArgument();
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace

void Integer::parse(const wstring& text)
{
    wstring plain = text.trim().toLower();
    if (plain.isEmpty())
        Exception::throwInvalidArgument();
    const wchar_t* chars = plain.buffer();
    if (chars[0] == L'0' && chars[1] == L'x')
        value = parseHex(chars + 2, plain.length() - 2);
    else
        value = parseDecimal(chars);
}

void Integer::parseOrDefault(const wstring& text, int defaultValue)
{
    try {
        parse(text);
    } catch (const Exception& e) {
        if (e.getCode() != ErrorCode::InvalidArgument)
            throw;
        value = defaultValue;
    }
}

wstring Integer::toString() const
{
    wstring text;
    text.setInt(value);
    return text;
}

wstring Integer::toHexString() const
{
    wchar_t text[16];
    wsprintfW(text, L"%x", value);
    return wstring(text);
}
