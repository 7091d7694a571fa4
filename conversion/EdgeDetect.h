#pragma once
#include "conversion/IPixelFilter.h"

// Draws the edges of the picture black on white: a pixel whose gradient is above an eighth of the strongest
// one in the picture is an edge.
class EdgeDetect : public IPixelFilter {
public:
    bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) override;
};
