#pragma once
#include <windows.h>
#include "foundation/Converter.h"
#include "foundation/wstring.h"

// Converts between UTF-16 text and the bytes of one text encoding. No converter recognises a byte-order
// mark when decoding: a leading mark becomes U+FEFF at the start of the text.
class TextConverter : public Converter {
public:
    // The input's bytes, taken as UTF-16 text up to the first zero unit, encoded into `out`.
    int encode(InputStream& in, OutputStream& out) override;
    // The input decoded to text, written to `out` as UTF-16 units without a terminator.
    int decode(InputStream& in, OutputStream& out) override;

    // Returns the bytes written.
    virtual int encodeText(const wchar_t* text, OutputStream& out) = 0;
    // Reads at most `limit` bytes of `in` (0: all of it) and returns how many were read.
    virtual int decodeText(InputStream& in, DWORD limit, wstring& text) = 0;
    // Returns the bytes written.
    virtual int writeBom(OutputStream&) { return 0; }
};

// UTF-16 little-endian.
class Utf16Converter : public TextConverter {
public:
    int encodeText(const wchar_t* text, OutputStream& out) override;
    int decodeText(InputStream& in, DWORD limit, wstring& text) override;
    int writeBom(OutputStream& out) override;
};

// Any Windows code page; what the code page cannot hold becomes its default character. Decoding stops at
// the first zero byte.
class CPConverter : public TextConverter {
public:
    explicit CPConverter(UINT codePage) : codePage(codePage) {}
    int encodeText(const wchar_t* text, OutputStream& out) override;
    int decodeText(InputStream& in, DWORD limit, wstring& text) override;

protected:
    UINT codePage;
};

class Utf8Converter : public CPConverter {
public:
    Utf8Converter() : CPConverter(CP_UTF8) {}
    int writeBom(OutputStream& out) override;
};

// ISO-2022-JP ("jis"), through Shift_JIS.
class JisConverter : public TextConverter {
public:
    int encodeText(const wchar_t* text, OutputStream& out) override;
    int decodeText(InputStream& in, DWORD limit, wstring& text) override;
};

// EUC-JP, through Shift_JIS.
class EucConverter : public TextConverter {
public:
    int encodeText(const wchar_t* text, OutputStream& out) override;
    int decodeText(InputStream& in, DWORD limit, wstring& text) override;
};
