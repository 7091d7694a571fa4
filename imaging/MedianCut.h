#pragma once
#include <windows.h>
#include "foundation/ScratchBuffer.h"

class ICanceller;

// An optimal palette of up to 256 colours for a 32-bit picture (blue, green, red, alpha bytes; rows of
// width x 4 bytes), by median cut over its colour histogram. The palette gets `colorCount` entries in blue,
// green, red, 0 order, sorted by red + green + blue. A picture with no more colours than that gets exactly
// its own colours in either mode, the remaining entries black. Otherwise, in exact mode the histogram tells
// every colour apart; in grouped mode colours that share the top 5 bits of each channel count as one, their
// average.
// False with last error 87 for bad arguments, 8 when memory runs out and 0 when cancelled (the palette is
// then unusable).
bool medianCutPalette(const BYTE* pixels, int width, int height, RGBQUAD* palette, int colorCount,
                      ICanceller* canceller, bool exact);

namespace MedianCut {

// One colour of the histogram and its pixel count; small, because the cut sorts millions of them.
struct Entry {
    BYTE red;
    BYTE green;
    BYTE blue;
    int count;
};

// Orders entries by one channel.
template <BYTE Entry::*Channel>
struct RgbComparator {
    int compare(const Entry& a, const Entry& b) const { return a.*Channel - b.*Channel; }
};
using RgbComparatorR = RgbComparator<&Entry::red>;
using RgbComparatorG = RgbComparator<&Entry::green>;
using RgbComparatorB = RgbComparator<&Entry::blue>;

// Sorts entries by one channel. The order of entries with equal values decides the palette, and it is that
// of a quicksort around the middle item that leaves equal items where they are; `inBlocks` finds its swaps
// faster, with the same result.
void sortEntries(Entry* entries, int count, BYTE Entry::*channel, bool inBlocks = true);

// Cuts the entries, which hold `pixelCount` pixels, into up to `colorCount` boxes, splitting the box with the
// most pixels on its widest channel at half its pixels, and gives each box's mean colour; the entries are
// reordered. `deferring` leaves undone the sorting inside boxes that are never split again, with the same
// result. False when cancelled or out of memory.
bool cutPalette(Entry* entries, int entryCount, LONGLONG pixelCount, RGBQUAD* palette, int colorCount,
                ICanceller* canceller, bool deferring = true);

// Counts the pixels of each colour. The entries come out ordered as in a table of 6,553 hash buckets that
// keeps each bucket's colours in the order they were first seen; the lookup itself goes through a direct
// table of all colours (exact mode, 64 MB of address space, touched only where the picture's colours lie)
// or of all groups, so that a pixel costs one probe and similar colours lie close together.
class RgbHashTable {
public:
    // `expectedPixels`, the number of pixels that will be added, sizes the table.
    RgbHashTable(bool exact, LONGLONG expectedPixels) : exact(exact), expectedPixels(expectedPixels) {}

    // Adds `count` 32-bit pixels; false with last error 8 when the table cannot grow.
    bool addPixels(const BYTE* pixels, int count);
    int distinctCount() const { return entryCount; }
    // The entries in bucket order, grouped ones finished as their average colour; the table is emptied.
    bool takeEntries(ScratchBuffer<Entry>& entries, LONGLONG& pixelCount);

    static constexpr int BucketCount = 6553;
    static int bucketOf(int red, int green, int blue)
    {
        return static_cast<int>(((red * 33023 + green * 30013 + blue * 27011) & 0x7FFFFFFF) % BucketCount);
    }

private:
    bool addExact(const UINT32* colors, int count);
    bool addGrouped(const UINT32* colors, int count);
    bool allocate();
    int newEntry(UINT32 key);

    bool exact;
    LONGLONG expectedPixels;
    int entryCount = 0;
    // Per entry, in the order first seen: key and, grouped, the pixel count and the sums of the low 3 bits.
    ScratchBuffer<UINT32> keys;
    ScratchBuffer<UINT32> counts;
    ScratchBuffer<UINT32> lowSums;
    // Exact: the pixel count of each colour, in blocks of similar colours. Grouped: entry index + 1 of each group, 0 for none yet.
    ScratchBuffer<int> entryOf;
};

} // namespace MedianCut
