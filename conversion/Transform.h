#pragma once
#include "conversion/ITransform.h"
#include "conversion/ImageConverter.h"

namespace ImageConvert {

// Builds a new bitmap from the buffer that a transform returns.
class Transform : public ImageConverter {
public:
    Transform(ITransform* transform, bool ownsTransform) : transform(transform), ownsTransform(ownsTransform) {}
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;
    ~Transform() override;

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;

private:
    ITransform* transform;
    bool ownsTransform;
};

} // namespace ImageConvert
