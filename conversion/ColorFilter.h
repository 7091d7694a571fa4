#pragma once
#include "conversion/ImageConverter.h"
#include "imaging/IColorFilter.h"

namespace ImageConvert {

// Runs a colour filter over every pixel.
class ColorFilter : public InPlaceConverter<IColorFilter> {
public:
    using InPlaceConverter::InPlaceConverter;

    // Row by row from the top; a cancel keeps the rows already done.
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
};

} // namespace ImageConvert
