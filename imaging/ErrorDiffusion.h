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

// Takes the palette indices of one row of a diffusion, rows handed over from the top of the picture down.
class IndexRowSink {
public:
    virtual void takeRow(int y, const BYTE* indices) = 0;

protected:
    ~IndexRowSink() = default;
};

// The same diffusion over a picture it leaves as it is: the sink gets the index of the entry chosen for each
// pixel, a row at a time (`y` counted as in the pixels, width indices).
bool diffuseErrorToIndices(const BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, IndexRowSink& sink);
