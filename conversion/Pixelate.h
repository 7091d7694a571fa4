#pragma once
#include "conversion/IPixelFilter.h"

// Mosaic: square blocks laid from the top-left corner, each filled with the whole value of its top-left
// pixel. With the from-bottom flag the block rows are laid from the bottom row upward and each block takes
// its bottom-left pixel. Blocks at the far edges are cut short.
class Pixelate : public IPixelFilter {
public:
    // A block size below 2 counts as 2.
    Pixelate(int blockSize, bool fromBottom);
    bool apply(BYTE* pixels, int width, int height, ICanceller* canceller) override;

private:
    int blockSize;
    bool fromBottom;
};
