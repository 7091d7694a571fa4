#pragma once
#include "foundation/Converter.h"

// Shift_JIS bytes to ISO-2022-JP (encode) and back (decode). Half-width katakana, which ISO-2022-JP cannot
// carry, are widened to their full-width forms, a following sound mark joined to them where one exists.
// Truncated input ends the conversion without failing; each direction returns the bytes written.
class Jis : public Converter {
public:
    int encode(InputStream& in, OutputStream& out) override;
    int decode(InputStream& in, OutputStream& out) override;
};
