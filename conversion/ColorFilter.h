#pragma once
#include "imaging/IColorFilter.h"
#include "conversion/ImageConverter.h"

namespace ImageConvert {

// Runs a colour filter over every pixel.
class ColorFilter : public ImageConverter {
public:
    ColorFilter(IColorFilter* filter, bool ownsFilter) : filter(filter), ownsFilter(ownsFilter) {}
    ColorFilter(const ColorFilter&) = delete;
    ColorFilter& operator=(const ColorFilter&) = delete;
    ~ColorFilter() override;

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
    // Changes a 32-bit ARGB bitmap row by row from the top; a cancel keeps the rows already done.
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller);

private:
    IColorFilter* filter;
    bool ownsFilter;
};

} // namespace ImageConvert
