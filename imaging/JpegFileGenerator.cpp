#include "imaging/JpegFileGenerator.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr const wchar_t* JpegMime = L"image/jpeg";

} // namespace

bool JpegFileGenerator::parameters(EncoderParameterBlock& block) const
{
    block.clear();
    if (quality < 1 || quality > 100)
        return true;
    return block.set(Gdiplus::EncoderQuality, quality);
}

bool JpegFileGenerator::saveInto(IStream* file, Gdiplus::Image* image)
{
    EncoderParameterBlock block;
    if (!file || !isKnownImage(image) || !parameters(block))
        return false;
    return gdipSaveToStream(file, JpegMime, image, block.get(), propertyItem, itemCount(propertyItem));
}

IStream* JpegFileGenerator::encode(Gdiplus::Image* image)
{
    EncoderParameterBlock block;
    if (!isKnownImage(image) || !parameters(block))
        return nullptr;
    return gdipEncodeToStream(JpegMime, image, block.get(), propertyItem, itemCount(propertyItem));
}
