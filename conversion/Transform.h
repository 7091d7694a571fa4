#pragma once
#include "conversion/ITransform.h"
#include "conversion/ImageConverter.h"
#include "foundation/MaybeOwned.h"

namespace ImageConvert {

// Builds a new bitmap from the buffer that a transform returns.
class Transform : public ImageConverter {
public:
    Transform(ITransform* transform, bool ownsTransform) : transform(transform, ownsTransform) {}

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;

private:
    MaybeOwned<ITransform> transform;
};

} // namespace ImageConvert
