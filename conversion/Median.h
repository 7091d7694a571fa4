#pragma once
#include "conversion/IPixelFilter.h"

// Replaces each colour channel by the median (the fifth smallest) of the nine values of its 3 x 3
// neighbourhood, which removes lone specks.
class Median : public IPixelFilter {
public:
    // A cancel before the results are copied back leaves the picture unchanged; one during the copy keeps the
    // rows copied so far.
    bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) override;
};
