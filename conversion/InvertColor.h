#pragma once
#include "conversion/RowColorFilter.h"

// Each colour channel becomes 255 minus itself; alpha stays.
class InvertColor : public RowColorFilter<InvertColor> {
public:
    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        red = static_cast<BYTE>(255 - red);
        green = static_cast<BYTE>(255 - green);
        blue = static_cast<BYTE>(255 - blue);
    }
};
