#pragma once
#include <windows.h>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include "support/fileBytes.h"

// Repeatable damage to files and texts: a fixed seed gives the same cases on every run, so a case that fails
// fails again under the debugger.
class Mutator {
public:
    explicit Mutator(UINT64 seed) : state(seed ? seed : 1) {}

    UINT64 next()
    {
        // xorshift64*
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1DULL;
    }
    // 0 to count - 1; 0 when count is 0.
    size_t below(size_t count) { return count ? static_cast<size_t>(next() >> 11) % count : 0; }
    bool chance(int percent) { return below(100) < static_cast<size_t>(percent); }
    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return items[below(items.size())];
    }
    template <typename T>
    T pick(std::initializer_list<T> items)
    {
        return items.begin()[below(items.size())];
    }

    // A few bytes replaced, within the first `within` bytes (the headers) or anywhere.
    void flipBytes(Bytes& bytes, size_t within)
    {
        size_t range = std::min(bytes.size(), within);
        for (size_t flips = 1 + below(4); flips > 0 && range > 0; --flips)
            bytes[below(range)] ^= static_cast<BYTE>(1 + below(255));
    }
    void truncate(Bytes& bytes) { bytes.resize(below(bytes.size())); }
    // A value of up to four bytes, little-endian; nothing when the field lies beyond the end.
    static void setField(Bytes& bytes, size_t offset, size_t width, UINT32 value)
    {
        if (offset + width <= bytes.size())
            std::memcpy(&bytes[offset], &value, width);
    }
    static void setFieldBigEndian(Bytes& bytes, size_t offset, size_t width, UINT32 value)
    {
        for (size_t i = 0; i < width && offset + i < bytes.size(); ++i)
            bytes[offset + i] = static_cast<BYTE>(value >> (8 * (width - 1 - i)));
    }
    // A field value as hostile files have them: the ends of each range, sizes no memory holds, and small
    // numbers.
    UINT32 edgeValue()
    {
        return pick({0u, 1u, 2u, 3u, 0xFFu, 0x100u, 0xFFFFu, 0x10000u, 0x7FFFu, 0x8000u, 0x7FFFFFFFu, 0x80000000u,
                     0x80000001u, 0xFFFFFFFFu, 0xFFFFFFFEu, 0x20000000u, 0x40000001u, 0x01000000u});
    }

private:
    UINT64 state;
};
