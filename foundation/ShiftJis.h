#pragma once
#include <windows.h>

// Arithmetic between Shift_JIS double-byte pairs and JIS X 0208 row/cell pairs, on 8-bit values (modulo 256).
namespace ShiftJis {

struct Pair {
    BYTE first;
    BYTE second;
};

Pair toJis(BYTE lead, BYTE trail);
Pair fromJis(BYTE row, BYTE cell);

inline bool isHalfWidthKatakana(BYTE c) { return c >= 0xA1 && c <= 0xDF; }
// The user-defined area has no JIS equivalent.
inline bool isUserDefinedLead(BYTE c) { return c >= 0xF0; }

} // namespace ShiftJis
