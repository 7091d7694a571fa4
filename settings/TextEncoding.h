#pragma once
#include "foundation/wstring.h"

class TextConverter;

// Text-encoding names of the thumbnail pages and the conversion log, compared after lower-casing. Names that
// none of these know mean UTF-8.
namespace TextEncoding {
constexpr int ShiftJis = 1;  // "shift_jis", "sjis"
constexpr int Utf8 = 2;      // "utf-8", "utf8"
constexpr int Utf16 = 3;     // "utf-16", "utf16"
constexpr int Jis = 4;       // "jis"
constexpr int EucJp = 5;     // "euc-jp"
} // namespace TextEncoding

int getEncodingCode(const wstring& name);
// Whether the name is one of those above (in any case), rather than one that only falls back to UTF-8.
bool isKnownEncoding(const wstring& name);
// A new converter for the encoding, owned by the caller; no memory throws Exception 8.
TextConverter* createTextConverter(const wstring& name);
