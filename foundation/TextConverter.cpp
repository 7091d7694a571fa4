#include "foundation/TextConverter.h"
#include "foundation/Euc.h"
#include "foundation/Exception.h"
#include "foundation/Jis.h"
#include "foundation/MemoryStream.h"
#include "foundation/StreamConverter.h"
#include "foundation/astring.h"

namespace {

constexpr UINT ShiftJisCodePage = 932;
constexpr int ChunkSize = 1024;

int lengthToZero(const char* bytes, int length)
{
    int n = 0;
    while (n < length && bytes[n])
        ++n;
    return n;
}

// The text in the code page, without its terminator; `length` receives the byte count.
astring toCodePage(const wchar_t* text, UINT codePage, int& length)
{
    if (!text)
        Exception::throwInvalidArgument();
    int count = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (count < 1)
        Exception::throwLastError();
    astring bytes;
    if (!WideCharToMultiByte(codePage, 0, text, -1, bytes.reserve(count), count, nullptr, nullptr))
        Exception::throwLastError();
    length = count - 1;
    return bytes;
}

// The bytes up to the first zero byte, as text of the code page.
wstring fromCodePage(const char* bytes, int length, UINT codePage)
{
    wstring text;
    int n = lengthToZero(bytes, length);
    if (!n)
        return text;
    int units = MultiByteToWideChar(codePage, 0, bytes, n, nullptr, 0);
    if (units < 1)
        Exception::throwLastError();
    wchar_t* target = text.reserve(units + 1);
    MultiByteToWideChar(codePage, 0, bytes, n, target, units);
    target[units] = 0;
    return text;
}

int writeBytes(OutputStream& out, const void* bytes, int length)
{
    return static_cast<int>(out.write(bytes, static_cast<DWORD>(length)));
}

// Copies at most `limit` bytes (0: all) of `in` into `bytes`, which it opens; returns the count copied.
int collect(InputStream& in, DWORD limit, OutputMemoryStream& bytes)
{
    bytes.open();
    return StreamConverter(limit, ChunkSize).convert(in, bytes);
}

// The platform makes Shift_JIS of the text, and the byte coder re-codes that.
template <typename ByteCoder>
int encodeThroughShiftJis(const wchar_t* text, OutputStream& out)
{
    int length = 0;
    astring shiftJis = toCodePage(text, ShiftJisCodePage, length);
    InputMemoryStream in;
    in.open(shiftJis.buffer(), length);
    return ByteCoder().encode(in, out);
}

template <typename ByteCoder>
int decodeThroughShiftJis(InputStream& in, DWORD limit, wstring& text)
{
    OutputMemoryStream coded;
    int read = collect(in, limit, coded);
    InputMemoryStream codedIn;
    codedIn.open(coded.getBuffer(), lengthToZero(coded.getBuffer(), coded.getLength()));
    OutputMemoryStream shiftJis;
    shiftJis.open();
    ByteCoder().decode(codedIn, shiftJis);
    text = fromCodePage(shiftJis.getBuffer(), shiftJis.getLength(), ShiftJisCodePage);
    return read;
}

} // namespace

int TextConverter::encode(InputStream& in, OutputStream& out)
{
    OutputMemoryStream bytes;
    collect(in, 0, bytes);
    return encodeText(bytes.getText().buffer(), out);
}

int TextConverter::decode(InputStream& in, OutputStream& out)
{
    wstring text;
    decodeText(in, 0, text);
    return writeBytes(out, text.buffer(), text.length() * static_cast<int>(sizeof(wchar_t)));
}

int Utf16Converter::encodeText(const wchar_t* text, OutputStream& out)
{
    if (!text)
        Exception::throwInvalidArgument();
    return writeBytes(out, text, lstrlenW(text) * static_cast<int>(sizeof(wchar_t)));
}

int Utf16Converter::decodeText(InputStream& in, DWORD limit, wstring& text)
{
    OutputMemoryStream bytes;
    int read = collect(in, limit, bytes);
    text = bytes.getText();
    return read;
}

int Utf16Converter::writeBom(OutputStream& out)
{
    static const BYTE mark[] = {0xFF, 0xFE};
    return writeBytes(out, mark, sizeof(mark));
}

int CPConverter::encodeText(const wchar_t* text, OutputStream& out)
{
    int length = 0;
    astring bytes = toCodePage(text, codePage, length);
    return writeBytes(out, bytes.buffer(), length);
}

int CPConverter::decodeText(InputStream& in, DWORD limit, wstring& text)
{
    OutputMemoryStream bytes;
    int read = collect(in, limit, bytes);
    text = fromCodePage(bytes.getBuffer(), bytes.getLength(), codePage);
    return read;
}

int Utf8Converter::writeBom(OutputStream& out)
{
    static const BYTE mark[] = {0xEF, 0xBB, 0xBF};
    return writeBytes(out, mark, sizeof(mark));
}

int JisConverter::encodeText(const wchar_t* text, OutputStream& out)
{
    return encodeThroughShiftJis<Jis>(text, out);
}

int JisConverter::decodeText(InputStream& in, DWORD limit, wstring& text)
{
    return decodeThroughShiftJis<Jis>(in, limit, text);
}

int EucConverter::encodeText(const wchar_t* text, OutputStream& out)
{
    return encodeThroughShiftJis<Euc>(text, out);
}

int EucConverter::decodeText(InputStream& in, DWORD limit, wstring& text)
{
    return decodeThroughShiftJis<Euc>(in, limit, text);
}
