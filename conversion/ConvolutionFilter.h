#pragma once
#include "conversion/IConvolutionFilter.h"
#include "conversion/ImageConverter.h"

namespace ImageConvert {

// Applies a 3 x 3 kernel `repeat` times. Taps on the outermost ring of the picture, or outside it, read the
// centre pixel instead.
class ConvolutionFilter : public InPlaceConverter<IConvolutionFilter> {
public:
    ConvolutionFilter(IConvolutionFilter* filter, bool ownsFilter, unsigned int repeat)
        : InPlaceConverter(filter, ownsFilter), repeat(repeat)
    {
    }

    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;

private:
    unsigned int repeat;
};

} // namespace ImageConvert
