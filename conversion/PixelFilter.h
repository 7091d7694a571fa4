#pragma once
#include "conversion/IPixelFilter.h"
#include "conversion/ImageConverter.h"

namespace ImageConvert {

// Hands the whole 32-bit buffer to a pixel filter.
class PixelFilter : public InPlaceConverter<IPixelFilter> {
public:
    using InPlaceConverter::InPlaceConverter;

    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
};

} // namespace ImageConvert
