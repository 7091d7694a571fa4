#pragma once
#include "conversion/IConvolutionFilter.h"
#include "conversion/ImageConverter.h"
#include "foundation/MaybeOwned.h"

namespace ImageConvert {

// Applies a 3 x 3 kernel `repeat` times. Taps on the outermost ring of the picture, or outside it, read the
// centre pixel instead.
class ConvolutionFilter : public ImageConverter {
public:
    ConvolutionFilter(IConvolutionFilter* filter, bool ownsFilter, unsigned int repeat)
        : filter(filter, ownsFilter), repeat(repeat)
    {
    }

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller);

private:
    MaybeOwned<IConvolutionFilter> filter;
    unsigned int repeat;
};

} // namespace ImageConvert
