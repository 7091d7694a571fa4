#pragma once
#include "imaging/EncoderParameterBlock.h"
#include "imaging/ImageFileGenerator.h"

// TIFF through the GDI+ encoder with one compression value (a GDI+ EncoderValue: 2 LZW, 3 CCITT3, 4 CCITT4,
// 5 RLE, 6 none), or NoCompressionParameter for the encoder's own choice. The bilevel compressions get a
// 1-bpp picture.
class TiffFileGenerator : public ImageFileGenerator {
public:
    static constexpr int NoCompressionParameter = 7;

    explicit TiffFileGenerator(int compression, const Gdiplus::PropertyItem* propertyItem = nullptr)
        : compression(compression), propertyItem(propertyItem)
    {
    }

    bool saveInto(IStream* file, Gdiplus::Image* image) override;
    IStream* encode(Gdiplus::Image* image) override;

    // The picture to encode: the image itself, or for CCITT3, CCITT4 and RLE a new 1-bpp copy with the
    // image's resolution unless the image is 1 bpp already. Null when the copy cannot be made.
    Gdiplus::Image* prepare(Gdiplus::Image* image) const;
    bool parameters(EncoderParameterBlock& block) const;

    int compression;
    const Gdiplus::PropertyItem* propertyItem;
};
