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
    if (!cellStarts.allocate(CellCount) || !heads.allocate(CellCount) || !pool.allocate(256 * 256))
        return false;
    for (int i = 0; i < CellCount; ++i)
        cellStarts[i] = Unfilled;
    return true;
}

int PaletteLookup::indexOutsideCells(int cell, UINT32 color)
{
    if (cellStarts[cell] == Unfilled && fillCell(cell) >= 0)
        return indexOfColor(color);
    return nearestPaletteIndex(palette, paletteCount, color >> 16, color >> 8 & 0xFF, color & 0xFF);
}

int PaletteLookup::fillCell(int cell)
{
    // Every entry and the end.
    if (poolUsed > pool.count() - paletteCount - 1 && !pool.grow(static_cast<LONGLONG>(pool.count()) * 2)) {
        cellStarts[cell] = Unstored;
        return Unstored;
    }
    constexpr int Span = (1 << CellBits) - 1;
    int redLow = (cell >> (2 * AxisBits)) << CellBits;
    int greenLow = ((cell >> AxisBits) & ((1 << AxisBits) - 1)) << CellBits;
    int blueLow = (cell & ((1 << AxisBits) - 1)) << CellBits;
    // No colour of the cell is farther from its nearest entry than `limit`, so an entry that is farther than
    // that from the whole cell is never the nearest.
    Candidate candidates[256 + HeadCandidates];
    int limit = INT_MAX;
    for (int i = 0; i < paletteCount; ++i) {
        const RGBQUAD& entry = palette[i];
        int nr, fr, ng, fg, nb, fb;
        channelRange(entry.rgbRed, redLow, Span, nr, fr);
        channelRange(entry.rgbGreen, greenLow, Span, ng, fg);
        channelRange(entry.rgbBlue, blueLow, Span, nb, fb);
        candidates[i] = Candidate{static_cast<UINT32>(nr + ng + nb) << 8 | i, entry.rgbRed, entry.rgbGreen,
                                  entry.rgbBlue, 0};
        limit = std::min(limit, fr + fg + fb);
    }
    int kept = 0;
    for (int i = 0; i < paletteCount; ++i) {
        if (candidates[i].bound() <= limit)
            candidates[kept++] = candidates[i];
    }
    std::sort(candidates, candidates + kept,
              [](const Candidate& a, const Candidate& b) { return a.boundAndIndex < b.boundAndIndex; });
    Candidate end = candidates[0];
    end.boundAndIndex |= FarBound;
    int padded = std::max(kept, HeadCandidates) + 1;
    for (int i = kept; i < padded; ++i)
        candidates[i] = end;
    writeHead(heads[cell], candidates);
    int start = poolUsed;
    std::copy(candidates + HeadCandidates, candidates + padded, pool.get() + start);
    poolUsed += padded - HeadCandidates;
    cellStarts[cell] = start;
    return start;
}

void PaletteLookup::writeHead(Head& head, const Candidate* candidates)
{
    for (int i = 0; i < HeadCandidates; ++i) {
        head.colors[4 * i] = candidates[i].blue;
        head.colors[4 * i + 1] = candidates[i].green;
        head.colors[4 * i + 2] = candidates[i].red;
        head.colors[4 * i + 3] = 0;
        head.indices[i] = candidates[i].index();
    }
}
