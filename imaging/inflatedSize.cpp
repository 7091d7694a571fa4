#include "imaging/inflatedSize.h"
#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace {

constexpr int MaxCodeBits = 15;
constexpr int LengthCodes = 29;
constexpr int DistanceCodes = 30;
constexpr int EndOfBlock = 256;

// The bits of a deflate stream, the lowest of each byte first.
class BitReader {
public:
    explicit BitReader(const std::function<bool(BYTE&)>& next) : next(next) {}

    bool bits(int count, DWORD& value)
    {
        while (held < count) {
            BYTE byte = 0;
            if (!next(byte))
                return false;
            buffer |= static_cast<DWORD>(byte) << held;
            held += 8;
        }
        value = buffer & ((1u << count) - 1);
        buffer >>= count;
        held -= count;
        return true;
    }

    // A stored block starts at the next whole byte.
    void dropPartByte()
    {
        buffer >>= held % 8;
        held -= held % 8;
    }

private:
    const std::function<bool(BYTE&)>& next;
    DWORD buffer = 0;
    int held = 0;
};

// A canonical Huffman code by the count of codes of each length and the symbols in code order.
class HuffmanCode {
public:
    // False when the lengths ask for more codes than there are; fewer is allowed, as for a lone distance code.
    bool build(const short* lengths, int symbols)
    {
        counts.fill(0);
        for (int i = 0; i < symbols; ++i)
            ++counts[lengths[i]];
        int left = 1;
        for (int length = 1; length <= MaxCodeBits; ++length) {
            left = 2 * left - counts[length];
            if (left < 0)
                return false;
        }
        std::array<int, MaxCodeBits + 2> offsets{};
        for (int length = 1; length <= MaxCodeBits; ++length)
            offsets[length + 1] = offsets[length] + counts[length];
        order.assign(symbols, 0);
        for (int i = 0; i < symbols; ++i)
            if (lengths[i] != 0)
                order[offsets[lengths[i]]++] = static_cast<short>(i);
        return true;
    }

    // The next symbol; -1 when the stream ends or holds a code that is not there.
    int decode(BitReader& reader) const
    {
        int code = 0;
        int first = 0;
        int index = 0;
        for (int length = 1; length <= MaxCodeBits; ++length) {
            DWORD bit = 0;
            if (!reader.bits(1, bit))
                return -1;
            code |= static_cast<int>(bit);
            if (code - counts[length] < first)
                return order[index + (code - first)];
            index += counts[length];
            first = (first + counts[length]) << 1;
            code <<= 1;
        }
        return -1;
    }

private:
    std::array<int, MaxCodeBits + 1> counts{};
    std::vector<short> order;
};

constexpr short LengthBase[LengthCodes] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr short LengthExtra[LengthCodes] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int DistanceBase[DistanceCodes] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                             33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr short DistanceExtra[DistanceCodes] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Counts the bytes of one block of Huffman codes into `produced`; false when the stream cannot go on.
bool countCodedBlock(BitReader& reader, const HuffmanCode& lengths, const HuffmanCode& distances, ULONGLONG& produced,
                     ULONGLONG limit)
{
    for (;;) {
        int symbol = lengths.decode(reader);
        if (symbol < 0)
            return false;
        if (symbol == EndOfBlock)
            return true;
        if (symbol < EndOfBlock) {
            if (++produced > limit)
                return false;
            continue;
        }
        symbol -= EndOfBlock + 1;
        DWORD extra = 0;
        if (symbol >= LengthCodes || !reader.bits(LengthExtra[symbol], extra))
            return false;
        ULONGLONG length = LengthBase[symbol] + extra;
        int distance = distances.decode(reader);
        if (distance < 0 || distance >= DistanceCodes || !reader.bits(DistanceExtra[distance], extra) ||
            DistanceBase[distance] + extra > produced)
            return false;
        produced += length;
        if (produced > limit)
            return false;
    }
}

bool countStoredBlock(BitReader& reader, ULONGLONG& produced, ULONGLONG limit)
{
    reader.dropPartByte();
    DWORD length = 0;
    DWORD complement = 0;
    if (!reader.bits(16, length) || !reader.bits(16, complement) || (length ^ 0xFFFF) != complement)
        return false;
    for (DWORD i = 0; i < length && produced <= limit; ++i) {
        DWORD skipped = 0;
        if (!reader.bits(8, skipped))
            return false;
        ++produced;
    }
    return produced <= limit;
}

bool countFixedBlock(BitReader& reader, ULONGLONG& produced, ULONGLONG limit)
{
    static const auto codes = [] {
        std::array<HuffmanCode, 2> made;
        short lengths[288];
        for (int i = 0; i < 288; ++i)
            lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        made[0].build(lengths, 288);
        short distances[DistanceCodes];
        std::fill(std::begin(distances), std::end(distances), 5);
        made[1].build(distances, DistanceCodes);
        return made;
    }();
    return countCodedBlock(reader, codes[0], codes[1], produced, limit);
}

// The code lengths of a block's own codes, themselves Huffman-coded, with runs of repeats and of zeros.
bool readCodeLengths(BitReader& reader, short* lengths, int count)
{
    static constexpr BYTE order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    DWORD lengthCodes = 0;
    if (!reader.bits(4, lengthCodes))
        return false;
    short codeLengths[19] = {};
    for (DWORD i = 0; i < lengthCodes + 4; ++i) {
        DWORD length = 0;
        if (!reader.bits(3, length))
            return false;
        codeLengths[order[i]] = static_cast<short>(length);
    }
    HuffmanCode code;
    if (!code.build(codeLengths, 19))
        return false;
    for (int at = 0; at < count;) {
        int symbol = code.decode(reader);
        if (symbol < 0)
            return false;
        if (symbol < 16) {
            lengths[at++] = static_cast<short>(symbol);
            continue;
        }
        DWORD repeat = 0;
        short value = 0;
        if (symbol == 16) {
            if (at == 0 || !reader.bits(2, repeat))
                return false;
            value = lengths[at - 1];
            repeat += 3;
        } else if (!reader.bits(symbol == 17 ? 3 : 7, repeat)) {
            return false;
        } else {
            repeat += symbol == 17 ? 3 : 11;
        }
        if (at + static_cast<int>(repeat) > count)
            return false;
        for (; repeat > 0; --repeat)
            lengths[at++] = value;
    }
    return true;
}

bool countDynamicBlock(BitReader& reader, ULONGLONG& produced, ULONGLONG limit)
{
    DWORD literalCodes = 0;
    DWORD distanceCodes = 0;
    if (!reader.bits(5, literalCodes) || !reader.bits(5, distanceCodes))
        return false;
    literalCodes += 257;
    distanceCodes += 1;
    if (literalCodes > 286 || distanceCodes > DistanceCodes)
        return false;
    short lengths[286 + DistanceCodes] = {};
    if (!readCodeLengths(reader, lengths, static_cast<int>(literalCodes + distanceCodes)) || lengths[EndOfBlock] == 0)
        return false;
    HuffmanCode literals;
    HuffmanCode distances;
    return literals.build(lengths, static_cast<int>(literalCodes)) &&
           distances.build(lengths + literalCodes, static_cast<int>(distanceCodes)) &&
           countCodedBlock(reader, literals, distances, produced, limit);
}

} // namespace

ULONGLONG inflatedSize(const std::function<bool(BYTE&)>& next, ULONGLONG limit)
{
    BitReader reader(next);
    DWORD method = 0;
    DWORD flags = 0;
    if (!reader.bits(8, method) || !reader.bits(8, flags) || (method & 0x0F) != 8 || (method << 8 | flags) % 31 != 0 ||
        (flags & 0x20) != 0)
        return 0;
    ULONGLONG produced = 0;
    for (DWORD last = 0; !last;) {
        DWORD type = 0;
        if (!reader.bits(1, last) || !reader.bits(2, type))
            break;
        bool goesOn = type == 0   ? countStoredBlock(reader, produced, limit)
                      : type == 1 ? countFixedBlock(reader, produced, limit)
                      : type == 2 ? countDynamicBlock(reader, produced, limit)
                                  : false;
        if (!goesOn)
            break;
    }
    return produced;
}
