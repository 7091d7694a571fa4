#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/ColorReduction.h"

class ICanceller;

// A new picture of the depth that the caller deletes; the picture itself is not changed. Depths 1, 4 and 8 go
// through the colour reduction with the palette choice as its mode (ReduceDefaultPalette, ReduceMedianCutExact
// or ReduceMedianCutGrouped) and, when asked, error diffusion; 16, 24, 32, 48 and 64 are drawn into a bitmap
// of that depth. The result has the picture's resolution. Null with last error 87 for a picture that is no
// image or a depth not listed, 0 when cancelled and 8 for any other failure.
Gdiplus::Bitmap* gdipConvertBitDepth(Gdiplus::Image* image, int bitCount, int paletteChoice, bool errorDiffusion,
                                     ICanceller* canceller);
