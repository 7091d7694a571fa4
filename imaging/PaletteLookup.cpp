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
    if (!cellStarts.allocate(CellCount) || !pool.allocate(256 * 256))
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
    // The head, every entry and the two ends.
    int room = HeadSlots + paletteCount + 2;
    if (poolUsed > pool.count() - room && !pool.grow(static_cast<LONGLONG>(pool.count()) * 2)) {
        cellStarts[cell] = Unstored;
        return Unstored;
    }
    constexpr int Span = (1 << CellBits) - 1;
    int redLow = (cell >> (2 * AxisBits)) << CellBits;
    int greenLow = ((cell >> AxisBits) & ((1 << AxisBits) - 1)) << CellBits;
    int blueLow = (cell & ((1 << AxisBits) - 1)) << CellBits;
    // No colour of the cell is farther from its nearest entry than `limit`, so an entry that is farther than
    // that from the whole cell is never the nearest.
    Candidate* head = pool.get() + poolUsed;
    Candidate* candidates = head + HeadSlots - HeadCandidates;
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
    writeHead(head, candidates);
    int start = poolUsed;
    poolUsed += HeadSlots - HeadCandidates + padded;
    cellStarts[cell] = start;
    return start;
}

// The head overlaps the first four candidates' own places, so it is written from copies.
void PaletteLookup::writeHead(Candidate* head, const Candidate* candidates)
{
    Candidate first[HeadCandidates];
    std::copy(candidates, candidates + HeadCandidates, first);
    INT16 colors[4 * HeadCandidates];
    INT32 indices[HeadCandidates];
    for (int i = 0; i < HeadCandidates; ++i) {
        colors[4 * i] = first[i].blue;
        colors[4 * i + 1] = first[i].green;
        colors[4 * i + 2] = first[i].red;
        colors[4 * i + 3] = 0;
        indices[i] = first[i].index();
    }
    auto lanes = reinterpret_cast<__m128i*>(head);
    _mm_storeu_si128(lanes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors)));
    _mm_storeu_si128(lanes + 1, _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + 8)));
    _mm_storeu_si128(lanes + 2, _mm_loadu_si128(reinterpret_cast<const __m128i*>(indices)));
}
