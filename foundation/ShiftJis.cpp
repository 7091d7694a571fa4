#include "foundation/ShiftJis.h"

namespace ShiftJis {

Pair toJis(BYTE lead, BYTE trail)
{
    if (trail < 0x9F) {
        BYTE row = static_cast<BYTE>(lead < 0xA0 ? 2 * (lead - 1) + 0x21 : 2 * lead - 0x61);
        if (trail > 0x7F)
            --trail;
        return {row, static_cast<BYTE>(trail - 0x1F)};
    }
    BYTE row = static_cast<BYTE>(lead < 0xA0 ? 2 * (lead + 0x10) : 2 * lead - 0x60);
    return {row, static_cast<BYTE>(trail - 0x7E)};
}

Pair fromJis(BYTE row, BYTE cell)
{
    BYTE trail = static_cast<BYTE>(cell + ((row & 1) ? 0x1F : 0x7D));
    if (trail > 0x7E)
        ++trail;
    BYTE half = static_cast<BYTE>(row + 1) / 2;
    BYTE lead = static_cast<BYTE>(half + (row < 0x5F ? 0x70 : 0xB0));
    return {lead, trail};
}

} // namespace ShiftJis
