#pragma once
#include <windows.h>
#include "imaging/Dib.h"

class ICanceller;

// Palettes of a reduction to 8 bits or fewer; any other mode also means the destination's default palette.
constexpr int ReduceDefaultPalette = 0;
constexpr int ReduceMedianCutExact = 1;   // computed from every distinct colour
constexpr int ReduceMedianCutGrouped = 2; // computed from colours grouped by their top 5 bits per channel

// The destination (another object than the source) becomes the source at the depth. Deeper than 8 bits the
// source is drawn onto it (an exact copy at the source's own depth; 32 bits come out opaque). Otherwise it
// gets the palette of the mode, optionally with error diffusion, and every pixel the index of the nearest
// palette colour (found by the program itself: GDI's mapping looks at only 5 bits a channel), so that a
// picture with no more colours than the palette keeps them exactly in the exact median-cut mode. False with
// the destination empty: last error 87 for an empty source or a bad depth, 8 when memory runs out, 0 when
// cancelled.
bool reduceColors(const Dib& source, Dib& destination, int bitCount, int mode, bool dither, ICanceller* canceller);
// The destination becomes an 8-bit copy of the source with the given palette (1 to 256 entries; the rest of
// the table black), every pixel the index of the palette colour nearest to it, as a reduction maps it. Frames
// that must share one palette are mapped this way. False with the destination empty: last error 87 for an
// empty source or a bad count, 8 when memory runs out.
bool mapColorsToPalette(const Dib& source, Dib& destination, const RGBQUAD* palette, int count);
