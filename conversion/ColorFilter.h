#pragma once
#include "conversion/ImageConverter.h"
#include "foundation/MaybeOwned.h"
#include "imaging/IColorFilter.h"

namespace ImageConvert {

// Runs a colour filter over every pixel.
class ColorFilter : public ImageConverter {
public:
    ColorFilter(IColorFilter* filter, bool ownsFilter) : filter(filter, ownsFilter) {}

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
    // Changes a 32-bit ARGB bitmap row by row from the top; a cancel keeps the rows already done.
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller);

private:
    MaybeOwned<IColorFilter> filter;
};

} // namespace ImageConvert
