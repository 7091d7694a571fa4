#pragma once
#include "imaging/EncoderParameterBlock.h"
#include "imaging/ImageFileGenerator.h"

// JPEG through the GDI+ encoder. A quality of 1 to 100 is passed to the encoder; any other leaves the
// encoder's default. The property item, when given with a length, is written into the file.
class JpegFileGenerator : public ImageFileGenerator {
public:
    explicit JpegFileGenerator(int quality = 0, const Gdiplus::PropertyItem* propertyItem = nullptr)
        : quality(quality), propertyItem(propertyItem)
    {
    }

    bool saveInto(IStream* file, Gdiplus::Image* image) override;
    IStream* encode(Gdiplus::Image* image) override;

    // The encoder parameters for the quality: empty when the encoder's default applies; false when the block
    // cannot be allocated.
    bool parameters(EncoderParameterBlock& block) const;

    int quality;
    const Gdiplus::PropertyItem* propertyItem;
};
