#pragma once
#include "conversion/ITransform.h"

// Mirrors the picture left to right, or top to bottom when vertical.
class Mirror : public ITransform {
public:
    explicit Mirror(bool vertical) : vertical(vertical) {}

    bool apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth, int& outHeight,
               ICanceller* canceller) override;

private:
    bool vertical;
};
