#include "imaging/MedianCut.h"
#include <emmintrin.h>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include "imaging/ICanceller.h"

namespace MedianCut {

namespace {

constexpr int PixelsPerCancelCheck = 10000;
constexpr int BoxesPerCancelCheck = 10;
constexpr int GroupCount = 1 << 15;
constexpr int ColorCount = 1 << 24;
// Above every 24-bit colour: no pixel matches it.
constexpr UINT32 NoColor = 0xFFFFFFFF;

int groupOf(UINT32 color)
{
    return static_cast<int>((color >> 19 & 0x1F) << 10 | (color >> 11 & 0x1F) << 5 | (color >> 3 & 0x1F));
}

// A pixel's blue, green, red (bytes 0-2) as the histogram key: red, green, blue in bits 0-7, 8-15, 16-23.
UINT32 keyOf(UINT32 color)
{
    return (color >> 16 & 0xFF) | (color & 0xFF00) | (color & 0xFF) << 16;
}

UINT32 colorOfKey(UINT32 key)
{
    return (key & 0xFF) << 16 | (key & 0xFF00) | (key >> 16 & 0xFF);
}

// The place of a colour (0xRRGGBB) in the exact table. The table is laid out in blocks of 16 x 16 x 16 colours
// that share the top 4 bits of each channel, so that the noisy neighbours of a photograph's pixels fall in a
// few 16 KB blocks rather than on a different memory page each.
UINT32 tableIndexOf(UINT32 color)
{
    auto packNibbles = [](UINT32 nibbles) {  // 0x0R0G0B to 0xRGB
        UINT32 paired = nibbles | nibbles >> 4;
        return (paired & 0xFF) | (paired >> 4 & 0xF00);
    };
    return packNibbles(color >> 4 & 0x0F0F0F) << 12 | packNibbles(color & 0x0F0F0F);
}

int bucketOfKey(UINT32 key, bool exact)
{
    int red = key & 0xFF;
    int green = key >> 8 & 0xFF;
    int blue = key >> 16 & 0xFF;
    return exact ? RgbHashTable::bucketOf(red, green, blue) : RgbHashTable::bucketOf(red >> 3, green >> 3, blue >> 3);
}

struct Box {
    int first;
    int count;
    LONGLONG pixels;
    // The sorts the box may owe are among owed[owedFirst, owedEnd), those its last split left undone.
    int owedFirst;
    int owedEnd;
};

// A quicksort of a range that lies wholly inside one box and was left undone: the order of the box's
// entries matters only if it is split again. A quicksort of a range touches nothing outside it, so sorting
// it then gives the order sorting it at once would have.
struct OwedSort {
    int low;
    int high;
    BYTE Entry::*channel;
};

struct BrightnessComparator {
    int compare(const RGBQUAD& a, const RGBQUAD& b) const
    {
        return (a.rgbRed + a.rgbGreen + a.rgbBlue) - (b.rgbRed + b.rgbGreen + b.rgbBlue);
    }
};

// Whether items[low..high] are in order already.
template <typename T, typename Comparator>
bool inOrder(const T* items, int low, int high, const Comparator& comparator)
{
    for (int i = low; i < high; ++i) {
        if (comparator.compare(items[i], items[i + 1]) > 0)
            return false;
    }
    return true;
}

// Quicksort around the middle element's value; equal items are not swapped. The smaller side is sorted by
// recursion and the larger one by the loop, so that the depth stays logarithmic. The order of equal items
// decides the palette, so it must never change: a range already in order is left alone, which is exactly
// what partitioning it would do (a swap needs a larger item before a smaller one), and it spares the
// partitioning of the long runs of one value that the histogram's few channel values make.
template <typename T, typename Comparator>
void quickSort(T* items, int low, int high, const Comparator& comparator)
{
    while (low < high) {
        if (inOrder(items, low, high, comparator))
            return;
        const T pivot = items[low + (high - low) / 2];
        int i = low;
        int j = high;
        while (i <= j) {
            while (comparator.compare(items[i], pivot) < 0)
                ++i;
            while (comparator.compare(items[j], pivot) > 0)
                --j;
            if (i <= j) {
                if (i < j && comparator.compare(items[i], items[j]) != 0)
                    std::swap(items[i], items[j]);
                ++i;
                --j;
            }
        }
        if (j - low < high - i) {
            quickSort(items, low, j, comparator);
            low = i;
        } else {
            quickSort(items, i, high, comparator);
            high = j;
        }
    }
}

// The quicksort above on entries by one channel, with the same swaps but decided on a copy of that channel's
// values, one byte per entry, that moves along with the entries: sixteen of them compare at once. The items
// that stop each side's scan are listed a block at a time as bits, without branches, whose outcome on
// histogram entries is a coin toss, and then paired in the order the scans would meet them. What is left near
// the middle goes through the plain scan from the state the blocks reached.
class ChannelSort {
public:
    ChannelSort(Entry* items, BYTE* keys) : items(items), keys(keys) {}

    void sort(int low, int high)
    {
        while (low < high) {
            if (keysInOrder(low, high))
                return;
            int i, j;
            partition(low, high, i, j);
            if (j - low < high - i) {
                sort(low, j);
                low = i;
            } else {
                sort(i, high);
                high = j;
            }
        }
    }

    // Sorts items[low..high] only as far as the item at which the running pixel count, from `before` (the
    // pixels ahead of low) over the range's `pixels`, first reaches `half`: the ranges beside it that the
    // sort would still go into are handed to owe(low, high) instead. False when owe fails.
    template <typename Owe>
    bool sortUpTo(int low, int high, LONGLONG before, LONGLONG pixels, LONGLONG half, Owe owe)
    {
        while (low < high) {
            if (keysInOrder(low, high))
                return true;
            int i, j;
            partition(low, high, i, j);
            // The items between j and i are in their places; the pixels of the shorter side are counted.
            LONGLONG middlePixels = pixelsOf(j + 1, i - 1);
            LONGLONG leftPixels, rightPixels;
            if (j - low < high - i) {
                leftPixels = pixelsOf(low, j);
                rightPixels = pixels - leftPixels - middlePixels;
            } else {
                rightPixels = pixelsOf(i, high);
                leftPixels = pixels - rightPixels - middlePixels;
            }
            if (before + leftPixels >= half) {
                if (!owe(i, high))
                    return false;
                high = j;
                pixels = leftPixels;
                continue;
            }
            if (!owe(low, j))
                return false;
            if (before + leftPixels + middlePixels >= half)
                return owe(i, high);
            before += leftPixels + middlePixels;
            low = i;
            pixels = rightPixels;
        }
        return true;
    }

private:
    // Long blocks while there is room, short ones near the middle, where the plain scan's branches would
    // cost most.
    static constexpr int Block = 64;
    static constexpr int ShortBlock = 16;
    static_assert(sizeof(Entry) == sizeof(UINT64), "entries move as one 64-bit word");

    bool keysInOrder(int low, int high) const
    {
        const __m128i zero = _mm_setzero_si128();
        int k = low;
        for (; k + 16 <= high; k += 16) {
            __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + k));
            __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + k + 1));
            // Nonzero where a key is above the next one.
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(here, next), zero)) != 0xFFFF)
                return false;
        }
        for (; k < high; ++k) {
            if (keys[k] > keys[k + 1])
                return false;
        }
        return true;
    }

    // Bit t tells whether the key at first + t would stop the left scan (at least the pivot) or the right
    // one (at most the pivot).
    template <bool Left>
    static UINT64 stopsOf(const BYTE* first, int size, __m128i pivot)
    {
        UINT64 stops = 0;
        for (int part = 0; part < size / 16; ++part) {
            __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + part * 16));
            __m128i bound = Left ? _mm_max_epu8(values, pivot) : _mm_min_epu8(values, pivot);
            UINT64 bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bound, values)));
            stops |= bits << (part * 16);
        }
        return stops;
    }

    // Splits items[low..high] around its middle item's key: on return items[low..j] are at most that key,
    // items[i..high] at least, and those between in their places.
    void partition(int low, int high, int& i, int& j)
    {
        Entry* items = this->items;  // locals, as in partitionBlocks
        BYTE* keys = this->keys;
        int pivot = keys[low + (high - low) / 2];
        i = low;
        j = high;
        partitionBlocks(pivot, i, j);
        while (i <= j) {
            while (keys[i] < pivot)
                ++i;
            while (keys[j] > pivot)
                --j;
            if (i <= j) {
                if (i < j)
                    swapIfDifferent(items + i, keys + i, items + j, keys + j);
                ++i;
                --j;
            }
        }
    }

    LONGLONG pixelsOf(int low, int high) const
    {
        LONGLONG pixels = 0;
        for (int k = low; k <= high; ++k)
            pixels += items[k].count;
        return pixels;
    }

    static int blockFor(int room) { return room >= Block ? Block : room >= ShortBlock ? ShortBlock : 0; }

    // Bit t to bit 63 - t: the right scan meets its block's items from the top.
    static UINT64 reversed(UINT64 bits)
    {
        bits = __builtin_bswap64(bits);
        bits = (bits >> 4 & 0x0F0F0F0F0F0F0F0Full) | (bits & 0x0F0F0F0F0F0F0F0Full) << 4;
        bits = (bits >> 2 & 0x3333333333333333ull) | (bits & 0x3333333333333333ull) << 2;
        return (bits >> 1 & 0x5555555555555555ull) | (bits & 0x5555555555555555ull) << 1;
    }

    // Equal items keep their places: that is what decides the order of equal entries. The keys may swap
    // regardless, equal ones being the same. No branch: whether they differ is a coin toss.
    static void swapIfDifferent(Entry* a, BYTE* keyOfA, Entry* b, BYTE* keyOfB)
    {
        BYTE keyA = *keyOfA;
        BYTE keyB = *keyOfB;
        UINT64 entryA, entryB;
        std::memcpy(&entryA, a, sizeof(UINT64));
        std::memcpy(&entryB, b, sizeof(UINT64));
        UINT64 change = (entryA ^ entryB) & (0 - static_cast<UINT64>(keyA != keyB));
        entryA ^= change;
        entryB ^= change;
        std::memcpy(a, &entryA, sizeof(UINT64));
        std::memcpy(b, &entryB, sizeof(UINT64));
        *keyOfA = keyB;
        *keyOfB = keyA;
    }

    // Moves i and j inwards as the plain scan would, over whole blocks while they fit between them; each
    // ends on the next item that would stop its scan, or on the first item not looked at.
    void partitionBlocks(int pivot, int& i, int& j)
    {
        // Locals: the byte stores could otherwise change the members, as far as the compiler knows.
        Entry* items = this->items;
        BYTE* keys = this->keys;
        const __m128i pivots = _mm_set1_epi8(static_cast<char>(pivot));
        UINT64 leftStops = 0, rightStops = 0;
        int leftBase = i, rightBase = j;
        int left = i;   // first item no left block covers
        int right = j;  // last item no right block covers
        for (;;) {
            if (leftStops == 0) {
                int size = blockFor(right - left + 1);
                if (size == 0)
                    break;
                leftBase = left;
                leftStops = stopsOf<true>(keys + left, size, pivots);
                left += size;
            }
            if (rightStops == 0) {
                int size = blockFor(right - left + 1);
                if (size == 0)
                    break;
                rightBase = right;
                rightStops = reversed(stopsOf<false>(keys + right - size + 1, size, pivots)) >> (64 - size);
                right -= size;
            }
            Entry* leftItems = items + leftBase;
            BYTE* leftKeys = keys + leftBase;
            Entry* rightItems = items + rightBase;
            BYTE* rightKeys = keys + rightBase;
            while (leftStops != 0 && rightStops != 0) {
                int fromLeft = __builtin_ctzll(leftStops);
                int fromRight = __builtin_ctzll(rightStops);
                swapIfDifferent(leftItems + fromLeft, leftKeys + fromLeft, rightItems - fromRight, rightKeys - fromRight);
                leftStops &= leftStops - 1;
                rightStops &= rightStops - 1;
            }
        }
        i = leftStops != 0 ? leftBase + __builtin_ctzll(leftStops) : left;
        j = rightStops != 0 ? rightBase - __builtin_ctzll(rightStops) : right;
    }

    Entry* items;
    BYTE* keys;
};

bool cancelled()
{
    SetLastError(0);
    return false;
}

// Hands the pixels to add(pixels, count) in runs, asking the canceller after every PixelsPerCancelCheck pixels
// and once at the end. False as soon as add says false, or when cancelled (last error 0).
template <typename Add>
bool walkPixels(const BYTE* pixels, int width, int height, ICanceller* canceller, Add add)
{
    int untilCheck = PixelsPerCancelCheck;
    for (int y = 0; y < height; ++y) {
        const BYTE* row = pixels + static_cast<INT_PTR>(y) * width * 4;
        for (int done = 0; done < width;) {
            int count = width - done < untilCheck ? width - done : untilCheck;
            if (!add(row + static_cast<INT_PTR>(done) * 4, count))
                return false;
            done += count;
            untilCheck -= count;
            if (untilCheck == 0) {
                if (isCancelled(canceller))
                    return cancelled();
                untilCheck = PixelsPerCancelCheck;
            }
        }
    }
    return !isCancelled(canceller) || cancelled();
}

bool countColors(RgbHashTable& table, const BYTE* pixels, int width, int height, ICanceller* canceller)
{
    return walkPixels(pixels, width, height, canceller,
                      [&table](const BYTE* run, int count) { return table.addPixels(run, count); });
}

// The picture's own colours while there are no more than a limit (at most 256) of them, in the order first
// seen. The scan gives up at the first colour beyond the limit, which in a photograph comes within a few
// pixels.
class FewColors {
public:
    explicit FewColors(int limit) : limit(limit)
    {
        for (UINT32& slot : slots)
            slot = NoColor;
    }

    // False once the picture has more colours than the limit.
    bool add(const BYTE* pixels, int count)
    {
        auto colors = reinterpret_cast<const UINT32*>(pixels);
        UINT32 previous = NoColor;
        for (int i = 0; i < count; ++i) {
            UINT32 color = colors[i] & 0xFFFFFF;
            if (color == previous)
                continue;
            previous = color;
            UINT32 slot = (color * 2654435761u) >> (32 - SlotBits);
            while (slots[slot] != NoColor && slots[slot] != color)
                slot = (slot + 1) & (SlotCount - 1);
            if (slots[slot] == color)
                continue;
            if (foundCount == limit)
                return false;
            slots[slot] = color;
            found[foundCount++] = color;
        }
        return true;
    }

    // The colours as palette entries (blue, green, red, 0); the rest of the palette stays as it is.
    void copyTo(RGBQUAD* palette) const
    {
        for (int i = 0; i < foundCount; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(found[i]), static_cast<BYTE>(found[i] >> 8),
                                 static_cast<BYTE>(found[i] >> 16), 0};
    }

private:
    // Twice the largest limit: the open table never fills.
    static constexpr int SlotBits = 9;
    static constexpr UINT32 SlotCount = 1u << SlotBits;

    int limit;
    int foundCount = 0;
    UINT32 slots[SlotCount];
    UINT32 found[256];
};

// The box with the most pixels among those with more than one colour; the first of equals.
int boxToSplit(const Box* boxes, int boxCount)
{
    int chosen = -1;
    for (int i = 0; i < boxCount; ++i) {
        if (boxes[i].count > 1 && (chosen < 0 || boxes[i].pixels > boxes[chosen].pixels))
            chosen = i;
    }
    return chosen;
}

// How far each channel's values spread over the entries (largest minus smallest); two entries compare at a
// time, their counts' bytes along with the rest and then ignored.
void channelSpans(const Entry* entries, int count, int& red, int& green, int& blue)
{
    __m128i lowest = _mm_set1_epi8(-1);
    __m128i highest = _mm_setzero_si128();
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries + i));
        lowest = _mm_min_epu8(lowest, pair);
        highest = _mm_max_epu8(highest, pair);
    }
    if (i < count) {
        __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(entries + i));
        lowest = _mm_min_epu8(lowest, _mm_unpacklo_epi64(last, last));
        highest = _mm_max_epu8(highest, last);
    }
    alignas(16) BYTE lows[16];
    alignas(16) BYTE highs[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(lows), _mm_min_epu8(lowest, _mm_srli_si128(lowest, 8)));
    _mm_store_si128(reinterpret_cast<__m128i*>(highs), _mm_max_epu8(highest, _mm_srli_si128(highest, 8)));
    red = highs[offsetof(Entry, red)] - lows[offsetof(Entry, red)];
    green = highs[offsetof(Entry, green)] - lows[offsetof(Entry, green)];
    blue = highs[offsetof(Entry, blue)] - lows[offsetof(Entry, blue)];
}

BYTE Entry::*widestChannel(const Entry* entries, int count)
{
    int red, green, blue;
    channelSpans(entries, count, red, green, blue);
    if (red >= green && red >= blue)
        return &Entry::red;
    return green < blue ? &Entry::blue : &Entry::green;
}

// Splits boxes of entries on their widest channel, sorting no further than the split needs.
class BoxCutter {
public:
    BoxCutter(Entry* entries, bool deferring) : entries(entries), deferring(deferring) {}

    bool allocate(int entryCount) { return keys.allocate(entryCount); }

    // The box keeps the leading colours up to about half its pixels (at least one, and one fewer than it
    // has); the new box gets the rest. False when memory runs out.
    bool split(Box& box, Box& added)
    {
        payOwedSorts(box);
        int last = box.first + box.count - 1;
        BYTE Entry::*channel = widestChannel(entries + box.first, box.count);
        LONGLONG half = box.pixels / 2;
        int owedFirst = owedCount;
        if (deferring) {
            // Past the item where the pixels reach half, only the set of items on each side matters, and that
            // is settled by the partitions that lead to it.
            copyKeys(box.first, last, channel);
            bool sorted = ChannelSort(entries, keys.get()).sortUpTo(box.first, last, 0, box.pixels, half,
                                                                    [this, channel](int low, int high) {
                                                                        return owe(low, high, channel);
                                                                    });
            if (!sorted)
                return false;
        } else {
            sortEntries(entries + box.first, box.count, channel, false);
        }
        const Entry* first = entries + box.first;
        LONGLONG sum = first[0].count;
        int kept = 1;
        while (sum < half && kept < box.count - 1)
            sum += first[kept++].count;
        added = Box{box.first + kept, box.count - kept, box.pixels - sum, owedFirst, owedCount};
        box = Box{box.first, kept, sum, owedFirst, owedCount};
        return true;
    }

private:
    void copyKeys(int low, int high, BYTE Entry::*channel)
    {
        for (int k = low; k <= high; ++k)
            keys[k] = entries[k].*channel;
    }

    bool owe(int low, int high, BYTE Entry::*channel)
    {
        if (low >= high)
            return true;
        if (owedCount == owed.count() && !owed.grow(std::max(64, owedCount * 2)))
            return false;
        owed[owedCount++] = OwedSort{low, high, channel};
        return true;
    }

    void payOwedSorts(const Box& box)
    {
        for (int k = box.owedFirst; k < box.owedEnd; ++k) {
            const OwedSort& sort = owed[k];
            if (sort.low < box.first || sort.high >= box.first + box.count)
                continue;
            copyKeys(sort.low, sort.high, sort.channel);
            ChannelSort(entries, keys.get()).sort(sort.low, sort.high);
        }
    }

    Entry* entries;
    bool deferring;
    ScratchBuffer<BYTE> keys;
    ScratchBuffer<OwedSort> owed;
    int owedCount = 0;
};

RGBQUAD meanColor(const Entry* entries, const Box& box)
{
    LONGLONG red = 0, green = 0, blue = 0, pixels = 0;
    for (int i = box.first; i < box.first + box.count; ++i) {
        const Entry& e = entries[i];
        red += static_cast<LONGLONG>(e.red) * e.count;
        green += static_cast<LONGLONG>(e.green) * e.count;
        blue += static_cast<LONGLONG>(e.blue) * e.count;
        pixels += e.count;
    }
    if (pixels == 0)
        return RGBQUAD{0, 0, 0, 0};
    return RGBQUAD{static_cast<BYTE>(blue / pixels), static_cast<BYTE>(green / pixels), static_cast<BYTE>(red / pixels), 0};
}

// A picture whose colours all fit the palette keeps them exactly, so that a lossless format gives back every
// pixel unchanged: `fits` tells whether they did, and then the palette holds them. False when cancelled.
bool takeFewColors(const BYTE* pixels, int width, int height, RGBQUAD* palette, int colorCount, ICanceller* canceller,
                   bool& fits)
{
    FewColors few(colorCount);
    fits = true;
    bool scanned = walkPixels(pixels, width, height, canceller, [&](const BYTE* run, int count) {
        fits = few.add(run, count);
        return fits;
    });
    if (!fits)
        return true;
    if (!scanned)
        return false;
    few.copyTo(palette);
    return true;
}

} // namespace

void sortEntries(Entry* entries, int count, BYTE Entry::*channel, bool inBlocks)
{
    if (!inBlocks) {
        if (channel == &Entry::red)
            quickSort(entries, 0, count - 1, RgbComparatorR());
        else if (channel == &Entry::green)
            quickSort(entries, 0, count - 1, RgbComparatorG());
        else
            quickSort(entries, 0, count - 1, RgbComparatorB());
        return;
    }
    ScratchBuffer<BYTE> keys;
    if (!keys.allocate(count))
        return sortEntries(entries, count, channel, false);
    for (int i = 0; i < count; ++i)
        keys[i] = entries[i].*channel;
    ChannelSort(entries, keys.get()).sort(0, count - 1);
}

bool cutPalette(Entry* entries, int entryCount, LONGLONG pixelCount, RGBQUAD* palette, int colorCount,
                ICanceller* canceller, bool deferring)
{
    Box boxes[256];
    int boxCount = 1;
    boxes[0] = Box{0, entryCount, pixelCount, 0, 0};
    BoxCutter cutter(entries, deferring);
    if (!cutter.allocate(entryCount))
        return false;
    if (isCancelled(canceller))
        return cancelled();
    while (boxCount < colorCount) {
        int chosen = boxToSplit(boxes, boxCount);
        if (chosen < 0)
            break;
        if (!cutter.split(boxes[chosen], boxes[boxCount]))
            return false;
        ++boxCount;
        if (boxCount % BoxesPerCancelCheck == 0 && isCancelled(canceller))
            return cancelled();
    }
    for (int i = 0; i < boxCount; ++i)
        palette[i] = meanColor(entries, boxes[i]);
    return true;
}

bool RgbHashTable::addPixels(const BYTE* pixels, int count)
{
    if (entryOf.count() == 0 && !allocate())
        return false;
    auto colors = reinterpret_cast<const UINT32*>(pixels);
    return exact ? addExact(colors, count) : addGrouped(colors, count);
}

// Runs of one colour are common in drawings: they cost no lookup. Whether a colour is new is a coin toss in
// a photograph, and each wrong guess would also drop the table reads under way for the pixels after it, so
// no branch depends on it: the key is written in any case and kept when the colour was new. The table holds
// each colour's count itself, so that a pixel touches one place in memory.
bool RgbHashTable::addExact(const UINT32* colors, int count)
{
    // Room for the keys written, at most one past all colours.
    LONGLONG room = std::min(static_cast<LONGLONG>(entryCount) + count, static_cast<LONGLONG>(ColorCount) + 1);
    if (keys.count() < room && !keys.grow(room))
        return false;
    UINT32* newKeys = keys.get();
    int* table = entryOf.get();
    int entries = entryCount;
    UINT32 previous = NoColor;
    int* pixelsOfColor = nullptr;
    for (int i = 0; i < count; ++i) {
        UINT32 color = colors[i] & 0xFFFFFF;
        if (color != previous) {
            pixelsOfColor = &table[tableIndexOf(color)];
            newKeys[entries] = keyOf(color);
            entries += *pixelsOfColor == 0;
            previous = color;
        }
        ++*pixelsOfColor;
    }
    entryCount = entries;
    return true;
}

bool RgbHashTable::addGrouped(const UINT32* colors, int count)
{
    UINT32 previous = NoColor;
    UINT32* sums = nullptr;
    int entry = -1;
    for (int i = 0; i < count; ++i) {
        UINT32 color = colors[i] & 0xFFFFFF;
        if (color != previous) {
            int& known = entryOf[groupOf(color)];
            if (known == 0) {
                entry = newEntry(keyOf(color & 0xF8F8F8));
                if (entry < 0)
                    return false;
                known = entry + 1;
            }
            entry = known - 1;
            sums = &lowSums[static_cast<INT_PTR>(entry) * 3];
            previous = color;
        }
        ++counts[entry];
        sums[0] += color >> 16 & 7;
        sums[1] += color >> 8 & 7;
        sums[2] += color & 7;
    }
    return true;
}

// Room for as many entries as the expected pixels can make: growing by steps would copy the keys each time,
// and their fresh pages cost more than the count itself.
bool RgbHashTable::allocate()
{
    // One more than all colours: the exact count writes a key past the last one.
    LONGLONG most = exact ? ColorCount : GroupCount;
    LONGLONG room = std::max(std::min(expectedPixels, most + 1), 1024LL);
    return entryOf.allocate(most) && keys.allocate(room) &&
           (exact || (counts.allocate(room) && lowSums.allocate(room * 3)));
}

int RgbHashTable::newEntry(UINT32 key)
{
    if (entryCount == keys.count()) {
        LONGLONG grown = entryCount < 1024 ? 1024 : static_cast<LONGLONG>(entryCount) * 2;
        if (!keys.grow(grown) || (!exact && (!counts.grow(grown) || !lowSums.grow(grown * 3))))
            return -1;
    }
    keys[entryCount] = key;
    return entryCount++;
}

bool RgbHashTable::takeEntries(ScratchBuffer<Entry>& entries, LONGLONG& pixelCount)
{
    pixelCount = 0;
    ScratchBuffer<int> bucketStarts;
    ScratchBuffer<WORD> buckets;
    if (!bucketStarts.allocate(BucketCount + 1) || !buckets.allocate(entryCount) || !entries.allocate(entryCount) ||
        (exact && !counts.allocate(entryCount)))
        return false;
    static_assert(BucketCount <= 0x10000);
    // The exact counts lie scattered over the table, and the entries go to as many places as there are
    // buckets: both are fetched some entries ahead, so that many reads are under way at once.
    constexpr int ReadAhead = 48;
    for (int i = 0; i < entryCount; ++i) {
        UINT32 key = keys[i];
        buckets[i] = static_cast<WORD>(bucketOfKey(key, exact));
        ++bucketStarts[buckets[i] + 1];
        if (!exact)
            continue;
        if (i + ReadAhead < entryCount)
            _mm_prefetch(reinterpret_cast<const char*>(&entryOf[tableIndexOf(colorOfKey(keys[i + ReadAhead]))]),
                         _MM_HINT_T0);
        counts[i] = static_cast<UINT32>(entryOf[tableIndexOf(colorOfKey(key))]);
    }
    for (int b = 0; b < BucketCount; ++b)
        bucketStarts[b + 1] += bucketStarts[b];
    for (int i = 0; i < entryCount; ++i) {
        UINT32 key = keys[i];
        int count = static_cast<int>(counts[i]);
        Entry entry{static_cast<BYTE>(key), static_cast<BYTE>(key >> 8), static_cast<BYTE>(key >> 16), count};
        if (!exact) {
            // The group's top bits plus the average of its low bits, which stays below 8.
            const UINT32* sums = &lowSums[static_cast<INT_PTR>(i) * 3];
            entry.red = static_cast<BYTE>(entry.red + sums[0] / counts[i]);
            entry.green = static_cast<BYTE>(entry.green + sums[1] / counts[i]);
            entry.blue = static_cast<BYTE>(entry.blue + sums[2] / counts[i]);
        }
        if (i + ReadAhead < entryCount)
            _mm_prefetch(reinterpret_cast<const char*>(&entries[bucketStarts[buckets[i + ReadAhead]]]), _MM_HINT_T0);
        entries[bucketStarts[buckets[i]]++] = entry;
        pixelCount += count;
    }
    entryCount = 0;
    keys.release();
    counts.release();
    lowSums.release();
    entryOf.release();
    return true;
}

namespace {

// The colours of the histogram, or the median cut of them when there are more than the palette holds.
bool histogramPalette(const BYTE* pixels, int width, int height, RGBQUAD* palette, int colorCount,
                      ICanceller* canceller, bool exact)
{
    RgbHashTable table(exact, static_cast<LONGLONG>(width) * height);
    if (!countColors(table, pixels, width, height, canceller))
        return false;
    ScratchBuffer<Entry> entries;
    LONGLONG pixelCount = 0;
    if (!table.takeEntries(entries, pixelCount))
        return false;
    if (entries.count() > colorCount)
        return cutPalette(entries.get(), entries.count(), pixelCount, palette, colorCount, canceller);
    for (int i = 0; i < entries.count(); ++i)
        palette[i] = RGBQUAD{entries[i].blue, entries[i].green, entries[i].red, 0};
    return true;
}

} // namespace

} // namespace MedianCut

bool medianCutPalette(const BYTE* pixels, int width, int height, RGBQUAD* palette, int colorCount,
                      ICanceller* canceller, bool exact)
{
    if (!pixels || !palette || colorCount < 1 || colorCount > 256 || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ZeroMemory(palette, colorCount * sizeof(RGBQUAD));
    // The exact histogram keeps few colours as they are by itself; the grouped one would merge them.
    bool fits = false;
    if (!exact && !MedianCut::takeFewColors(pixels, width, height, palette, colorCount, canceller, fits))
        return false;
    if (!fits && !MedianCut::histogramPalette(pixels, width, height, palette, colorCount, canceller, exact))
        return false;
    if (colorCount > 1)
        MedianCut::quickSort(palette, 0, colorCount - 1, MedianCut::BrightnessComparator());
    return true;
}
