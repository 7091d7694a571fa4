#include "imaging/ColorReduction.h"
#include "imaging/ErrorDiffusion.h"
#include "imaging/ICanceller.h"
#include "imaging/MedianCut.h"
#include "imaging/PaletteLookup.h"

namespace {

// Empties the destination, keeping the last error of the step that failed.
bool failEmptying(Dib& destination)
{
    DWORD error = GetLastError();
    destination.reallocInfo(0);
    SetLastError(error);
    return false;
}

bool setPalette(Dib& destination, const RGBQUAD* palette, int count)
{
    PALETTEENTRY entries[256] = {};
    for (int i = 0; i < count; ++i)
        entries[i] = PALETTEENTRY{palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue, 0};
    return destination.setColorTable(entries);
}

// Packs the indices of one row most significant bits first; indexOf(item) gives each.
template <int Bits, typename Item, typename IndexOf>
void packRow(const Item* colors, BYTE* target, int width, IndexOf indexOf)
{
    constexpr int PerByte = 8 / Bits;
    int packed = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
        packed = packed << Bits | indexOf(colors[x]);
        if (++filled == PerByte) {
            *target++ = static_cast<BYTE>(packed);
            packed = 0;
            filled = 0;
        }
    }
    if (filled != 0)
        *target = static_cast<BYTE>(packed << (Bits * (PerByte - filled)));
}

template <typename Item, typename IndexOf>
void packRowAtDepth(int bitCount, const Item* colors, BYTE* target, int width, IndexOf indexOf)
{
    switch (bitCount) {
    case 1:
        packRow<1>(colors, target, width, indexOf);
        break;
    case 4:
        packRow<4>(colors, target, width, indexOf);
        break;
    default:
        packRow<8>(colors, target, width, indexOf);
        break;
    }
}

// The destination's pixels become the indices of the 32-bit picture's colours.
bool mapToPalette(const Dib& picture, Dib& destination, const RGBQUAD* palette, int count, ICanceller* canceller)
{
    PaletteLookup lookup;
    if (!lookup.setPalette(palette, count))
        return false;
    GdiFlush();
    int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        if (isCancelled(canceller)) {
            SetLastError(0);
            return false;
        }
        auto colors = reinterpret_cast<const UINT32*>(picture.getBits() + static_cast<INT_PTR>(y) * picture.stride());
        BYTE* target = destination.getBits() + static_cast<INT_PTR>(y) * destination.stride();
        // A run of one colour is looked up once.
        UINT32 previous = 0xFFFFFFFF;
        int index = 0;
        packRowAtDepth(destination.bitCount(), colors, target, width, [&](UINT32 pixel) {
            UINT32 color = pixel & 0xFFFFFF;
            if (color != previous) {
                index = lookup.indexOf(color >> 16, color >> 8 & 0xFF, color & 0xFF);
                previous = color;
            }
            return index;
        });
    }
    return true;
}

// Packs the entries the diffusion chose into the destination's rows. A chosen entry becomes the one the
// search gives for its colour, which differs where the palette holds a colour twice, so that the file is
// the same as one mapped from the diffused colours.
class PackedIndexRows : public IndexRowSink {
public:
    explicit PackedIndexRows(Dib& destination) : destination(destination) {}

    bool setPalette(const RGBQUAD* palette, int count)
    {
        PaletteLookup lookup;
        if (!lookup.setPalette(palette, count))
            return false;
        for (int i = 0; i < count; ++i)
            final[i] = static_cast<BYTE>(lookup.indexOf(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue));
        return true;
    }

    void takeRow(int y, const BYTE* indices) override
    {
        BYTE* target = destination.getBits() + static_cast<INT_PTR>(y) * destination.stride();
        packRowAtDepth(destination.bitCount(), indices, target, destination.width(),
                       [this](BYTE index) { return final[index]; });
    }

private:
    Dib& destination;
    BYTE final[256] = {};
};

bool diffuseToPalette(const Dib& picture, Dib& destination, const RGBQUAD* palette, int count,
                      ICanceller* canceller)
{
    PackedIndexRows rows(destination);
    GdiFlush();
    return rows.setPalette(palette, count) && diffuseErrorToIndices(picture.getBits(), picture.width(),
                                                                    picture.height(), palette, count,
                                                                    canceller, rows);
}

bool reduceToPalette(const Dib& source, Dib& destination, int bitCount, int mode, bool dither, ICanceller* canceller)
{
    if (!destination.create(source.width(), source.height(), bitCount, RGB(0, 0, 0)))
        return false;
    int count = destination.colorCount();
    // The palette search and the diffusion read 32-bit pixels.
    Dib copy;
    const Dib* picture = &source;
    if (source.bitCount() != 32) {
        if (!reduceColors(source, copy, 32, ReduceMedianCutGrouped, false, nullptr))
            return false;
        picture = &copy;
    }
    GdiFlush();
    int width = source.width();
    int height = source.height();
    RGBQUAD palette[256] = {};
    bool medianCut = mode == ReduceMedianCutExact || mode == ReduceMedianCutGrouped;
    if (medianCut) {
        if (!medianCutPalette(picture->getBits(), width, height, palette, count, canceller,
                              mode == ReduceMedianCutExact) ||
            !setPalette(destination, palette, count))
            return false;
    } else {
        CopyMemory(palette, destination.getColorTable(), count * sizeof(RGBQUAD));
    }
    return dither ? diffuseToPalette(*picture, destination, palette, count, canceller)
                  : mapToPalette(*picture, destination, palette, count, canceller);
}

} // namespace

bool reduceColors(const Dib& source, Dib& destination, int bitCount, int mode, bool dither, ICanceller* canceller)
{
    if (&source == &destination) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (source.isEmpty()) {
        destination.reallocInfo(0);
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    bool done = bitCount > 8 ? destination.copyAtDepth(source, bitCount)
                             : reduceToPalette(source, destination, bitCount, mode, dither, canceller);
    return done || failEmptying(destination);
}

bool mapColorsToPalette(const Dib& source, Dib& destination, const RGBQUAD* palette, int count)
{
    if (&source == &destination || source.isEmpty() || !palette || count < 1 || count > 256) {
        destination.reallocInfo(0);
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    Dib copy;
    const Dib* picture = &source;
    if (source.bitCount() != 32) {
        if (!reduceColors(source, copy, 32, ReduceDefaultPalette, false, nullptr))
            return failEmptying(destination);
        picture = &copy;
    }
    bool mapped = destination.create(source.width(), source.height(), 8, RGB(0, 0, 0)) &&
                  setPalette(destination, palette, count) &&
                  mapToPalette(*picture, destination, palette, count, nullptr);
    return mapped || failEmptying(destination);
}
