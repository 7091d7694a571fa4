#pragma once
#include "conversion/RowColorFilter.h"

// Turns colours grey: the luminance (77, 151, 28 in 256ths) or, with the flag, the plain average.
class GrayScale : public RowColorFilter<GrayScale> {
public:
    explicit GrayScale(bool plainAverage) : plainAverage(plainAverage) {}

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        BYTE grey = static_cast<BYTE>(plainAverage ? (red + green + blue) / 3 : (red * 77 + green * 151 + blue * 28) >> 8);
        red = green = blue = grey;
    }

private:
    bool plainAverage;
};
