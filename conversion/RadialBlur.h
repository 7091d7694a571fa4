#pragma once
#include "conversion/IPixelFilter.h"

enum RadialBlurKind {
    RadialBlurZoom = 0,     // along the line to the centre
    RadialBlurRotation = 1, // across it, a spin
};

// Blur that grows with the distance from the centre of the picture. Results are copied over the picture only
// when every row is done, so a cancel leaves it unchanged.
class RadialBlur : public IPixelFilter {
public:
    // A strength up to 1 counts as 1.
    RadialBlur(double strength, int kind);
    bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) override;

private:
    // Shared by the job threads through the effect table: apply keeps everything of one picture on its stack.
    double strength;
    int kind;
};
