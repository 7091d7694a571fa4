#pragma once
#include "conversion/IPixelFilter.h"
#include "conversion/ImageConverter.h"

namespace ImageConvert {

// Hands the whole 32-bit buffer to a pixel filter.
class PixelFilter : public ImageConverter {
public:
    PixelFilter(IPixelFilter* filter, bool ownsFilter) : filter(filter), ownsFilter(ownsFilter) {}
    PixelFilter(const PixelFilter&) = delete;
    PixelFilter& operator=(const PixelFilter&) = delete;
    ~PixelFilter() override;

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;
    bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller);

private:
    IPixelFilter* filter;
    bool ownsFilter;
};

} // namespace ImageConvert
