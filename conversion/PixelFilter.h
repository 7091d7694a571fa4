#pragma once
#include "conversion/IPixelFilter.h"
#include "conversion/ImageConverter.h"
#include "foundation/MaybeOwned.h"

namespace ImageConvert {

// Hands the whole 32-bit buffer to a pixel filter.
class PixelFilter : public ImageConverter {
public:
    PixelFilter(IPixelFilter* filter, bool ownsFilter) : filter(filter, ownsFilter) {}

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller);

private:
    MaybeOwned<IPixelFilter> filter;
};

} // namespace ImageConvert
