#pragma once
#include "imaging/IColorFilter.h"

// Base of the colour filters: `Filter::change` (alpha, red, green, blue as byte references) serves both the
// single pixel and the row loop, where the compiler inlines it.
template <typename Filter>
class RowColorFilter : public IColorFilter {
public:
    void apply(BYTE* alpha, BYTE* red, BYTE* green, BYTE* blue) override
    {
        static_cast<Filter*>(this)->change(*alpha, *red, *green, *blue);
    }
    void applyRow(BYTE* pixels, int count) override
    {
        Filter* filter = static_cast<Filter*>(this);
        for (BYTE* end = pixels + static_cast<INT_PTR>(count) * 4; pixels != end; pixels += 4)
            filter->change(pixels[3], pixels[2], pixels[1], pixels[0]);
    }
};

// 0..255 of any integer.
inline BYTE clampByte(int value)
{
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}
