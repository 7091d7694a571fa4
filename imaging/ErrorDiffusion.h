#pragma once
#include <windows.h>

class ICanceller;

// Floyd-Steinberg error diffusion: every pixel of the 32-bit picture (blue, green, red, alpha bytes; rows of
// width x 4 bytes, bottom-up as in a Dib, so the last row is the top of the picture) becomes the palette colour
// nearest to it plus the error carried from its neighbours; the alpha bytes stay. The palette holds `count`
// entries in blue, green, red order. With `indexInAlpha` each alpha byte becomes the index of the entry chosen,
// which spares the caller a second search. False with last error 87 for bad arguments, 8 when memory runs out
// and 0 when cancelled (the picture is then partly changed).
bool diffuseErrorToPalette(BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, bool indexInAlpha = false);
