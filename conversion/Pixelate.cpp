#include "conversion/Pixelate.h"
#include <algorithm>
#include "conversion/PixelFilterChecks.h"

Pixelate::Pixelate(int blockSize, bool fromBottom) : blockSize(std::max(blockSize, 2)), fromBottom(fromBottom) {}

bool Pixelate::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    int stride = width * 4;
    for (int laid = 0; laid < height; laid += blockSize) {
        if (stopRequested(canceller))
            return false;
        int rows = std::min(blockSize, height - laid);
        int top = fromBottom ? height - laid - rows : laid;
        // The row holding the blocks' own pixels becomes the block row's pattern, then fills the others.
        int source = fromBottom ? top + rows - 1 : top;
        auto pattern = reinterpret_cast<UINT32*>(pixels + static_cast<INT_PTR>(source) * stride);
        for (int left = 0; left < width; left += blockSize)
            std::fill(pattern + left, pattern + std::min(left + blockSize, width), pattern[left]);
        for (int y = top; y < top + rows; ++y) {
            if (y != source)
                CopyMemory(pixels + static_cast<INT_PTR>(y) * stride, pattern, stride);
        }
    }
    return true;
}
