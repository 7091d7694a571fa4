#pragma once
#include <windows.h>
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

    int indexOf(int red, int green, int blue)
    {
        int cell = (red >> CellBits) << (2 * AxisBits) | (green >> CellBits) << AxisBits | (blue >> CellBits);
        int start = cellStarts[cell];
        if (start < 0) {
            start = start == Unfilled ? fillCell(cell) : start;
            if (start < 0)
                return nearestPaletteIndex(palette, paletteCount, red, green, blue);
        }
        // Each candidate is its squared distance from the cell above its index in the low 8 bits.
        const UINT32* candidates = pool.get() + start;
        int best = candidates[0] & 0xFF;
        int bestDistance = distance(best, red, green, blue);
        for (int i = 1, n = cellCounts[cell]; i < n; ++i) {
            UINT32 candidate = candidates[i];
            if (static_cast<int>(candidate >> 8) > bestDistance)
                break;
            int index = candidate & 0xFF;
            int d = distance(index, red, green, blue);
            if (d < bestDistance || (d == bestDistance && index < best)) {
                bestDistance = d;
                best = index;
            }
        }
        return best;
    }

private:
    static constexpr int CellBits = 3;
    static constexpr int AxisBits = 8 - CellBits;
    static constexpr int CellCount = 1 << (3 * AxisBits);
    static constexpr int Unfilled = -1;
    static constexpr int Unstored = -2;

    int distance(int index, int red, int green, int blue) const
    {
        const RGBQUAD& entry = palette[index];
        int r = entry.rgbRed - red;
        int g = entry.rgbGreen - green;
        int b = entry.rgbBlue - blue;
        return r * r + g * g + b * b;
    }
    // The cell's start in the pool, or Unstored.
    int fillCell(int cell);

    const RGBQUAD* palette = nullptr;
    int paletteCount = 0;
    ScratchBuffer<int> cellStarts;
    ScratchBuffer<WORD> cellCounts;
    ScratchBuffer<UINT32> pool;
    int poolUsed = 0;
};
