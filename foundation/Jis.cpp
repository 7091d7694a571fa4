#include "foundation/Jis.h"
#include "foundation/ByteStream.h"
#include "foundation/ShiftJis.h"

namespace {

constexpr BYTE EscapeByte = 0x1B;
constexpr BYTE SymbolRow = 0x21;
constexpr BYTE KatakanaRow = 0x25;
constexpr BYTE VoicedMark = 0xDE;
constexpr BYTE SemiVoicedMark = 0xDF;

// JIS X 0208 cells of the JIS X 0201 katakana 0x21 to 0x5F (Shift_JIS bytes 0xA1 to 0xDF).
constexpr BYTE wideCells[] = {
    0x23, 0x56, 0x57, 0x22, 0x26, 0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67, 0x43, 0x3C,
    0x22, 0x24, 0x26, 0x28, 0x2A, 0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39, 0x3B, 0x3D, 0x3F,
    0x41, 0x44, 0x46, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x52, 0x55, 0x58, 0x5B, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x64, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6F, 0x73, 0x2B, 0x2C,
};
static_assert(sizeof(wideCells) == 0x5F - 0x21 + 1);

// Punctuation, the prolonged sound mark and the two sound marks live among the symbols, the rest among
// the katakana.
BYTE wideRow(BYTE k)
{
    if ((k >= 0x21 && k <= 0x25) || k == 0x30 || k >= 0x5E)
        return SymbolRow;
    return KatakanaRow;
}

// The cell of k joined with the sound mark `next`, or 0 when the two do not combine.
BYTE joinedCell(BYTE k, BYTE next)
{
    BYTE cell = wideCells[k - 0x21];
    if (next == VoicedMark) {
        if (k == 0x33)
            return 0x74;  // ｳﾞ is ヴ
        if ((k >= 0x36 && k <= 0x44) || (k >= 0x4A && k <= 0x4E))
            return static_cast<BYTE>(cell + 1);
    }
    if (next == SemiVoicedMark && k >= 0x4A && k <= 0x4E)
        return static_cast<BYTE>(cell + 2);
    return 0;
}

// Writes the full-width form of the half-width katakana c; true when `next` was joined to it.
bool writeWide(ByteWriter& writer, BYTE c, BYTE next)
{
    BYTE k = static_cast<BYTE>(c - 0x80);
    BYTE joined = joinedCell(k, next);
    writer.put(wideRow(k), joined ? joined : wideCells[k - 0x21]);
    return joined != 0;
}

class ModeSwitch {
public:
    explicit ModeSwitch(ByteWriter& writer) : writer(writer) {}
    void twoByte()
    {
        if (!on)
            writer.put(EscapeByte, '$', 'B');
        on = true;
    }
    void ascii()
    {
        if (on)
            writer.put(EscapeByte, '(', 'B');
        on = false;
    }

private:
    ByteWriter& writer;
    bool on = false;
};

} // namespace

int Jis::encode(InputStream& in, OutputStream& out)
{
    ByteReader reader(in);
    ByteWriter writer(out);
    ModeSwitch mode(writer);
    BYTE c = 0;
    bool more = reader.next(c);
    while (more) {
        if (c >= 0x80 && c <= 0xEF) {
            mode.twoByte();
            if (ShiftJis::isHalfWidthKatakana(c)) {
                BYTE next = 0;
                bool haveNext = reader.next(next);
                if (writeWide(writer, c, haveNext ? next : 0)) {
                    more = reader.next(c);
                } else {
                    c = next;
                    more = haveNext;
                }
                continue;
            }
            BYTE trail = 0;
            if (!reader.next(trail))
                break;
            ShiftJis::Pair pair = ShiftJis::toJis(c, trail);
            writer.put(pair.first, pair.second);
        } else {
            mode.ascii();
            if (ShiftJis::isUserDefinedLead(c)) {
                BYTE trail = 0;
                if (!reader.next(trail))
                    break;
                writer.put('?', '?');
            } else {
                writer.put(c);
            }
        }
        more = reader.next(c);
    }
    mode.ascii();
    return writer.count();
}

int Jis::decode(InputStream& in, OutputStream& out)
{
    ByteReader reader(in);
    ByteWriter writer(out);
    bool twoByte = false;
    BYTE c = 0;
    if (!reader.next(c))
        return 0;
    for (;;) {
        // A byte that completes no known escape is taken as data.
        while (c == EscapeByte) {
            if (!reader.next(c))
                return writer.count();
            if (c != '$' && c != '(')
                break;
            twoByte = c == '$';
            if (!reader.next(c))
                return writer.count();
            if (c == 'B' && !reader.next(c))
                return writer.count();
        }
        if (twoByte) {
            BYTE second = 0;
            if (!reader.next(second))
                return writer.count();
            ShiftJis::Pair pair = ShiftJis::fromJis(c, second);
            writer.put(pair.first, pair.second);
        } else {
            writer.put(c);
        }
        if (!reader.next(c))
            return writer.count();
    }
}
