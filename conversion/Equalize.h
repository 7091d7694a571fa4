#pragma once
#include "conversion/IPixelFilter.h"

// Spreads the picture's luminance levels over the whole range, blended with the original by the ratio (0 keeps
// the picture, 1 equalizes fully).
class Equalize : public IPixelFilter {
public:
    // The ratio is clamped to 0..1.
    explicit Equalize(double ratio);
    bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) override;

private:
    double ratio;
};

// The level table of a 256-bin luminance histogram: level i goes to 255 x (pixels at i or below, less those at
// 0) / (all pixels less those at 0), rounded to nearest, then blended with i by the ratio.
void buildEqualizeTable(const int histogram[256], double ratio, BYTE table[256]);
