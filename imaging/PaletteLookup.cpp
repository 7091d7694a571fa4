#include "imaging/PaletteLookup.h"
#include <algorithm>

namespace {

// Squared distances from one channel value to the nearest and the farthest value of [low, low + span].
void channelRange(int value, int low, int span, int& nearest, int& farthest)
{
    int high = low + span;
    int below = value < low ? low - value : value > high ? value - high : 0;
    int distant = value - low > high - value ? value - low : high - value;
    nearest = below * below;
    farthest = distant * distant;
}

} // namespace

int nearestPaletteIndex(const RGBQUAD* palette, int count, int red, int green, int blue)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < count; ++i) {
        int r = palette[i].rgbRed - red;
        int g = palette[i].rgbGreen - green;
        int b = palette[i].rgbBlue - blue;
        int distance = r * r + g * g + b * b;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

bool PaletteLookup::setPalette(const RGBQUAD* entries, int count)
{
    if (!entries || count < 1 || count > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    palette = entries;
    paletteCount = count;
    poolUsed = 0;
    if (!cellStarts.allocate(CellCount) || !cellCounts.allocate(CellCount) || !pool.allocate(256 * 256))
        return false;
    for (int i = 0; i < CellCount; ++i)
        cellStarts[i] = Unfilled;
    return true;
}

int PaletteLookup::fillCell(int cell)
{
    if (poolUsed > pool.count() - paletteCount && !pool.grow(static_cast<LONGLONG>(pool.count()) * 2)) {
        cellStarts[cell] = Unstored;
        return Unstored;
    }
    constexpr int Span = (1 << CellBits) - 1;
    int redLow = (cell >> (2 * AxisBits)) << CellBits;
    int greenLow = ((cell >> AxisBits) & ((1 << AxisBits) - 1)) << CellBits;
    int blueLow = (cell & ((1 << AxisBits) - 1)) << CellBits;
    // No colour of the cell is farther from its nearest entry than `limit`, so an entry that is farther than
    // that from the whole cell is never the nearest.
    UINT32* candidates = pool.get() + poolUsed;
    int limit = INT_MAX;
    for (int i = 0; i < paletteCount; ++i) {
        int nr, fr, ng, fg, nb, fb;
        channelRange(palette[i].rgbRed, redLow, Span, nr, fr);
        channelRange(palette[i].rgbGreen, greenLow, Span, ng, fg);
        channelRange(palette[i].rgbBlue, blueLow, Span, nb, fb);
        candidates[i] = static_cast<UINT32>(nr + ng + nb) << 8 | i;
        limit = std::min(limit, fr + fg + fb);
    }
    int kept = 0;
    for (int i = 0; i < paletteCount; ++i) {
        if (static_cast<int>(candidates[i] >> 8) <= limit)
            candidates[kept++] = candidates[i];
    }
    std::sort(candidates, candidates + kept);
    int start = poolUsed;
    poolUsed += kept;
    cellStarts[cell] = start;
    cellCounts[cell] = static_cast<WORD>(kept);
    return start;
}
