#include "foundation/Euc.h"
#include "foundation/ByteStream.h"
#include "foundation/ShiftJis.h"

namespace {

constexpr BYTE SingleShift2 = 0x8E;

} // namespace

int Euc::encode(InputStream& in, OutputStream& out)
{
    ByteReader reader(in);
    ByteWriter writer(out);
    BYTE c = 0;
    while (reader.next(c)) {
        if (c <= 0x7F) {
            writer.put(c);
        } else if (ShiftJis::isHalfWidthKatakana(c)) {
            writer.put(SingleShift2, c);
        } else {
            BYTE trail = 0;
            if (!reader.next(trail))
                break;
            if (ShiftJis::isUserDefinedLead(c)) {
                writer.put('?', '?');
            } else {
                ShiftJis::Pair pair = ShiftJis::toJis(c, trail);
                writer.put(pair.first | 0x80, pair.second | 0x80);
            }
        }
    }
    return writer.count();
}

int Euc::decode(InputStream& in, OutputStream& out)
{
    ByteReader reader(in);
    ByteWriter writer(out);
    BYTE c = 0;
    while (reader.next(c)) {
        if (c <= 0x80) {
            writer.put(c);
            continue;
        }
        BYTE d = 0;
        if (!reader.next(d))
            break;
        if (c == SingleShift2) {
            writer.put(d);
        } else {
            ShiftJis::Pair pair = ShiftJis::fromJis(c & 0x7F, d & 0x7F);
            writer.put(pair.first, pair.second);
        }
    }
    return writer.count();
}
