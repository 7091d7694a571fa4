#include "imaging/TiffFileGenerator.h"
#include <memory>
#include "imaging/BitmapCopy.h"
#include "imaging/Dib.h"
#include "imaging/DibConversion.h"
#include "imaging/gdipImageIO.h"

namespace {

constexpr const wchar_t* TiffMime = L"image/tiff";

bool isBilevelCompression(int compression)
{
    return compression == Gdiplus::EncoderValueCompressionCCITT3 ||
           compression == Gdiplus::EncoderValueCompressionCCITT4 ||
           compression == Gdiplus::EncoderValueCompressionRle;
}

// GDI maps every drawn pixel to the nearer of the two colours of the 1-bpp section.
Gdiplus::Bitmap* toBilevel(Gdiplus::Image* image)
{
    int width = static_cast<int>(image->GetWidth());
    int height = static_cast<int>(image->GetHeight());
    Dib dib;
    if (!dib.create(width, height, 1, RGB(255, 255, 255)))
        return nullptr;
    HDC dc = dib.getDC();
    Gdiplus::Status drawn;
    {
        Gdiplus::Graphics graphics(dc);
        drawn = graphics.DrawImage(image, 0, 0, width, height);
    }
    dib.releaseDC();
    if (drawn != Gdiplus::Ok)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bilevel(dibToGdiplusBitmap(dib, false));
    if (!bilevel ||
        bilevel->SetResolution(image->GetHorizontalResolution(), image->GetVerticalResolution()) != Gdiplus::Ok)
        return nullptr;
    return bilevel.release();
}

// The prepared picture, owned when it is a copy.
class Prepared {
public:
    Prepared(const TiffFileGenerator& generator, Gdiplus::Image* image) : picture(generator.prepare(image))
    {
        if (picture != image)
            copy.reset(picture);
    }
    Gdiplus::Image* get() const { return picture; }

private:
    Gdiplus::Image* picture;
    std::unique_ptr<Gdiplus::Image> copy;
};

} // namespace

Gdiplus::Image* TiffFileGenerator::prepare(Gdiplus::Image* image) const
{
    if (!isKnownImage(image))
        return nullptr;
    if (!isBilevelCompression(compression) || bitsPerPixel(image->GetPixelFormat()) == 1)
        return image;
    return toBilevel(image);
}

bool TiffFileGenerator::parameters(EncoderParameterBlock& block) const
{
    block.clear();
    if (compression == NoCompressionParameter)
        return true;
    return block.set(Gdiplus::EncoderCompression, compression);
}

bool TiffFileGenerator::saveInto(IStream* file, Gdiplus::Image* image)
{
    EncoderParameterBlock block;
    if (!file || !isKnownImage(image) || !parameters(block))
        return false;
    Prepared prepared(*this, image);
    return prepared.get() &&
           gdipSaveToStream(file, TiffMime, prepared.get(), block.get(), propertyItem, itemCount(propertyItem));
}

IStream* TiffFileGenerator::encode(Gdiplus::Image* image)
{
    EncoderParameterBlock block;
    if (!isKnownImage(image) || !parameters(block))
        return nullptr;
    Prepared prepared(*this, image);
    if (!prepared.get())
        return nullptr;
    return gdipEncodeToStream(TiffMime, prepared.get(), block.get(), propertyItem, itemCount(propertyItem));
}
