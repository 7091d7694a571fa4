#pragma once
#include "conversion/RowColorFilter.h"

// Brown-toned grey: red lifted by 40, blue lowered by 20, each held within 0..255.
class Sepia : public RowColorFilter<Sepia> {
public:
    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        int luminance = (red * 77 + green * 151 + blue * 28) >> 8;
        red = static_cast<BYTE>(luminance > 215 ? 255 : luminance + 40);
        green = static_cast<BYTE>(luminance);
        blue = static_cast<BYTE>(luminance < 20 ? 0 : luminance - 20);
    }
};
