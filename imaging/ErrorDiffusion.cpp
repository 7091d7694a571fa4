#include "imaging/ErrorDiffusion.h"
#include "foundation/ScratchBuffer.h"
#include "imaging/ICanceller.h"
#include "imaging/PaletteLookup.h"
#include <emmintrin.h>
#include <utility>

namespace {

// A colour or an error as four 32-bit numbers: blue, green, red and a fourth that stays 0.
using Channels = __m128i;

Channels channelsOfPixel(const BYTE* pixel)
{
    __m128i zero = _mm_setzero_si128();
    __m128i bytes = _mm_cvtsi32_si128(*reinterpret_cast<const int*>(pixel) & 0xFFFFFF);
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
}

// The carried error is kept 16 times too large; its share is rounded half away from zero.
Channels share(Channels error)
{
    __m128i sign = _mm_srai_epi32(error, 31);
    __m128i magnitude = _mm_sub_epi32(_mm_xor_si128(error, sign), sign);
    __m128i shared = _mm_srli_epi32(_mm_add_epi32(magnitude, _mm_set1_epi32(8)), 4);
    return _mm_sub_epi32(_mm_xor_si128(shared, sign), sign);
}

Channels timesThree(Channels error)
{
    return _mm_add_epi32(_mm_slli_epi32(error, 1), error);
}

Channels timesFive(Channels error)
{
    return _mm_add_epi32(_mm_slli_epi32(error, 2), error);
}

Channels timesSeven(Channels error)
{
    return _mm_sub_epi32(_mm_slli_epi32(error, 3), error);
}

// One row of a diffusion in progress: its pixels, the errors carried into it from the row above (one per
// pixel, with a spare at either end that takes what would fall outside the picture) and those it passes to
// the row below. The row's own pending errors stay in registers: the one for its next pixel, and the sums for
// the two places below that the next pixels still add to.
struct DiffusedRow {
    const BYTE* pixels;
    const Channels* current;
    Channels* next;
    Channels right;
    Channels belowLeft;
    Channels below;
};

DiffusedRow startRow(const BYTE* pixels, const Channels* current, Channels* next)
{
    __m128i zero = _mm_setzero_si128();
    return DiffusedRow{pixels, current, next, zero, zero, zero};
}

// The place below the last pixel and the spare after it.
void finishRow(DiffusedRow& row, int width)
{
    _mm_storeu_si128(row.next + width, row.belowLeft);
    _mm_storeu_si128(row.next + width + 1, row.below);
}

// Returns the index of the entry chosen for pixel x; `entries` holds the palette's colours as Channels.
__forceinline int diffusePixel(DiffusedRow& row, int x, const Channels* entries, PaletteLookup& lookup)
{
    __m128i zero = _mm_setzero_si128();
    Channels carried = _mm_add_epi32(_mm_loadu_si128(row.current + x + 1), row.right);
    Channels wanted = _mm_add_epi32(channelsOfPixel(row.pixels + x * 4), share(carried));
    // Packing with saturation clamps each channel to 0-255.
    __m128i words = _mm_packs_epi32(wanted, wanted);
    __m128i bytes = _mm_packus_epi16(words, words);
    Channels color = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
    int index = lookup.indexOfColor(static_cast<UINT32>(_mm_cvtsi128_si32(bytes)) & 0xFFFFFF);
    Channels error = _mm_sub_epi32(color, entries[index]);
    row.right = timesSeven(error);
    // Below-left is complete with this pixel's share; below and below-right wait for the next pixels'.
    _mm_storeu_si128(row.next + x, _mm_add_epi32(row.belowLeft, timesThree(error)));
    row.belowLeft = _mm_add_epi32(row.below, timesFive(error));
    row.below = error;
    return index;
}

// A pixel depends on the pixel before it through its error, so one row at a time is a chain of palette
// searches each waiting for the last. A wave runs several rows at once, each two pixels behind the row above,
// whose errors for it are then complete: the rows' searches at one step are independent and overlap in the
// processor, and every pixel gets exactly the error it would get row by row.
constexpr int WaveRows = 4;
constexpr int WaveLag = 2;

// Diffuses the pixel of row K that is due at this step, if any; choose(k, x, index) records the entry chosen
// for pixel x of row k.
template <int K, typename Choose>
__forceinline void diffuseWaveRow(DiffusedRow* rows, int rowCount, int step, int width, const Channels* entries,
                                  PaletteLookup& lookup, Choose& choose)
{
    int x = step - WaveLag * K;
    if (K >= rowCount || x < 0 || x >= width)
        return;
    choose(K, x, diffusePixel(rows[K], x, entries, lookup));
    // The row below reads the place under the last pixel at its own last pixel, two steps on.
    if (x == width - 1)
        finishRow(rows[K], width);
}

template <typename Choose, int... K>
void diffuseWaveRows(DiffusedRow* rows, int rowCount, int width, const Channels* entries, PaletteLookup& lookup,
                     Choose choose, std::integer_sequence<int, K...>)
{
    int steps = width + WaveLag * (rowCount - 1);
    for (int step = 0; step < steps; ++step)
        (diffuseWaveRow<K>(rows, rowCount, step, width, entries, lookup, choose), ...);
}

// Diffuses the first `rowCount` rows of a wave.
template <typename Choose>
void diffuseWave(DiffusedRow* rows, int rowCount, int width, const Channels* entries, PaletteLookup& lookup,
                 Choose choose)
{
    diffuseWaveRows(rows, rowCount, width, entries, lookup, choose, std::make_integer_sequence<int, WaveRows>());
}

// Runs the diffusion from the top row down, a wave at a time. choose(k, y, x, index) records a choice for
// pixel x of row y, the wave's row k; finish(k, y) completes that row once the wave is done, and the
// canceller is asked after each row.
template <typename Choose, typename Finish>
bool diffuseRows(const BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                 ICanceller* canceller, Choose choose, Finish finish)
{
    PaletteLookup lookup;
    if (!lookup.setPalette(palette, count))
        return false;
    Channels entries[256];
    for (int i = 0; i < count; ++i)
        entries[i] = _mm_setr_epi32(palette[i].rgbBlue, palette[i].rgbGreen, palette[i].rgbRed, 0);
    LONGLONG rowSlots = static_cast<LONGLONG>(width) + 2;
    // Held as ints: the slots are read and written unaligned.
    ScratchBuffer<int> errors;
    if (!errors.allocate(rowSlots * 4 * (WaveRows + 1)))
        return false;
    // errorRows[k] carries into row k of a wave and errorRows[k + 1] out of it; the first starts clear, and
    // a row sets every place of the one it passes on.
    Channels* errorRows[WaveRows + 1];
    for (int k = 0; k <= WaveRows; ++k)
        errorRows[k] = reinterpret_cast<Channels*>(errors.get()) + rowSlots * k;
    INT_PTR stride = static_cast<INT_PTR>(width) * 4;
    for (int top = height - 1; top >= 0; top -= WaveRows) {
        int rowCount = top + 1 < WaveRows ? top + 1 : WaveRows;
        DiffusedRow rows[WaveRows];
        for (int k = 0; k < rowCount; ++k)
            rows[k] = startRow(pixels + (top - k) * stride, errorRows[k], errorRows[k + 1]);
        diffuseWave(rows, rowCount, width, entries, lookup,
                    [&](int k, int x, int index) { choose(k, top - k, x, index); });
        std::swap(errorRows[0], errorRows[rowCount]);
        for (int k = 0; k < rowCount; ++k) {
            finish(k, top - k);
            if (isCancelled(canceller)) {
                SetLastError(0);
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool diffuseErrorToPalette(BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, bool indexInAlpha)
{
    if (!pixels || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    INT_PTR stride = static_cast<INT_PTR>(width) * 4;
    return diffuseRows(
        pixels, width, height, palette, count, canceller,
        [&](int, int y, int x, int index) {
            // Each pixel is read before it is written, and only by its own row.
            BYTE* pixel = pixels + y * stride + x * 4;
            const RGBQUAD& chosen = palette[index];
            if (indexInAlpha)
                pixel[3] = static_cast<BYTE>(index);
            pixel[0] = chosen.rgbBlue;
            pixel[1] = chosen.rgbGreen;
            pixel[2] = chosen.rgbRed;
        },
        [](int, int) {});
}

bool diffuseErrorToIndices(const BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, IndexRowSink& sink)
{
    if (!pixels || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ScratchBuffer<BYTE> indices;
    if (!indices.allocate(static_cast<LONGLONG>(width) * WaveRows))
        return false;
    BYTE* chosen = indices.get();
    return diffuseRows(
        pixels, width, height, palette, count, canceller,
        [chosen, width](int k, int, int x, int index) { chosen[k * width + x] = static_cast<BYTE>(index); },
        [&sink, chosen, width](int k, int y) { sink.takeRow(y, chosen + k * width); });
}
