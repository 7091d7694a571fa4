#pragma once
#include <windows.h>
#include <emmintrin.h>
#include <algorithm>
#include "foundation/ScratchBuffer.h"

// Palettes here are `count` RGBQUAD entries: blue, green, red and a byte that is not looked at.

// The entry nearest to the colour by squared distance in red, green and blue; the first of equals wins.
int nearestPaletteIndex(const RGBQUAD* palette, int count, int red, int green, int blue);

// The same answer as nearestPaletteIndex, fast enough for every pixel of a large picture. The colour cube is
// cut into small cells; the first time a colour of a cell is asked for, the cell gets the entries that can be
// nearest to some colour in it, ordered by their distance from the cell, and a search stops at the first
// entry that is farther from the whole cell than the best one found is from the colour. A cell for which no
// memory can be had is searched in full: the answers never depend on memory.
class PaletteLookup {
public:
    // The palette must outlive the lookup. False with last error 87 or 8.
    bool setPalette(const RGBQUAD* entries, int count);

    __forceinline int indexOf(int red, int green, int blue)
    {
        return indexOfColor(static_cast<UINT32>(red << 16 | green << 8 | blue));
    }

    // The same for a colour held as in a 32-bit pixel: blue, green and red in bits 0-7, 8-15 and 16-23, the
    // top byte zero. Inlined into the per-pixel loops: a hit costs one load of the cell's first four
    // candidates, which hold their own colours and are weighed at once, and a look at the next one's bound.
    __forceinline int indexOfColor(UINT32 color)
    {
        int cell = static_cast<int>((color >> 19 & 0x1F) << (2 * AxisBits) | (color >> 11 & 0x1F) << AxisBits |
                                    (color >> 3 & 0x1F));
        int start = cellStarts[cell];
        if (start < 0)
            return indexOutsideCells(cell, color);
        int bestKey = nearestOfHead(heads[cell], color);
        // The rest of the list ends in a copy of its first candidate that is too far from every cell, so the
        // bound alone ends the search.
        int red = color >> 16, green = color >> 8 & 0xFF, blue = color & 0xFF;
        for (const Candidate* candidate = pool.get() + start; candidate->bound() <= bestKey >> 8; ++candidate)
            bestKey = std::min(bestKey, candidate->key(red, green, blue));
        return bestKey & 0xFF;
    }

private:
    static constexpr int CellBits = 3;
    static constexpr int AxisBits = 8 - CellBits;
    static constexpr int CellCount = 1 << (3 * AxisBits);
    static constexpr int Unfilled = -1;
    static constexpr int Unstored = -2;

    // A palette entry that can be nearest to some colour of a cell: its squared distance from the cell above
    // its index in the low 8 bits (so that sorting orders by distance, then index), and its colour.
    struct Candidate {
        UINT32 boundAndIndex;
        BYTE red, green, blue, unused;

        int bound() const { return static_cast<int>(boundAndIndex >> 8); }
        int index() const { return static_cast<int>(boundAndIndex & 0xFF); }
        // Distance above index: the smaller key is the nearer entry, or the first of equals.
        int key(int r, int g, int b) const
        {
            r -= red;
            g -= green;
            b -= blue;
            return (r * r + g * g + b * b) << 8 | index();
        }
    };
    // Above every squared distance in the colour cube.
    static constexpr UINT32 FarBound = 0xFFFFFF00;
    // A cell's first four candidates, for weighing them side by side: their blue, green, red, 0 as 16-bit
    // numbers, then their indices. Weighing four without asking whether each can win spares branches that go
    // either way; a shorter list has copies of its first in their place, and weighing a copy again never
    // changes the answer. Kept apart from the rest of the list, so that finding them needs no other load.
    struct Head {
        alignas(16) INT16 colors[16];
        INT32 indices[4];
    };
    static constexpr int HeadCandidates = 4;

    // The smallest key among the first four candidates.
    static __forceinline int nearestOfHead(const Head& head, UINT32 color)
    {
        __m128i zero = _mm_setzero_si128();
        __m128i query = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(color)), zero);
        query = _mm_unpacklo_epi64(query, query);
        __m128i first = _mm_sub_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(head.colors)), query);
        __m128i second = _mm_sub_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(head.colors + 8)), query);
        // Blue² + green² and red² + 0² of each candidate, then their sums.
        __m128 squares01 = _mm_castsi128_ps(_mm_madd_epi16(first, first));
        __m128 squares23 = _mm_castsi128_ps(_mm_madd_epi16(second, second));
        __m128i distances = _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(squares01, squares23, 0x88)),
                                          _mm_castps_si128(_mm_shuffle_ps(squares01, squares23, 0xDD)));
        __m128i keys = _mm_or_si128(_mm_slli_epi32(distances, 8),
                                    _mm_load_si128(reinterpret_cast<const __m128i*>(head.indices)));
        keys = smaller(keys, _mm_shuffle_epi32(keys, 0x4E));
        keys = smaller(keys, _mm_shuffle_epi32(keys, 0xB1));
        return _mm_cvtsi128_si32(keys);
    }
    static __forceinline __m128i smaller(__m128i a, __m128i b)
    {
        __m128i aGreater = _mm_cmpgt_epi32(a, b);
        return _mm_or_si128(_mm_and_si128(aGreater, b), _mm_andnot_si128(aGreater, a));
    }

    // A cell not filled yet, or one for which no memory could be had.
    int indexOutsideCells(int cell, UINT32 color);
    // The cell's start in the pool, or Unstored.
    int fillCell(int cell);
    static void writeHead(Head& head, const Candidate* candidates);

    const RGBQUAD* palette = nullptr;
    int paletteCount = 0;
    // Per cell: where the rest of its list starts in the pool, or Unfilled or Unstored; its head.
    ScratchBuffer<int> cellStarts;
    ScratchBuffer<Head> heads;
    ScratchBuffer<Candidate> pool;
    int poolUsed = 0;
};
