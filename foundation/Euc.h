#pragma once
#include "foundation/Converter.h"

// Shift_JIS bytes to EUC-JP (encode) and back (decode); half-width katakana travel behind single-shift 2.
// Truncated input ends the conversion without failing; each direction returns the bytes written.
class Euc : public Converter {
public:
    int encode(InputStream& in, OutputStream& out) override;
    int decode(InputStream& in, OutputStream& out) override;
};
