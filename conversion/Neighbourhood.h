#pragma once
#include <windows.h>
#include "conversion/PixelFilterChecks.h"

// The 3 x 3 neighbourhood of the neighbourhood filters. A neighbour is read only when it lies strictly inside
// the outermost ring of the picture; any other tap reads the pixel itself. So the ring, and what lies beyond
// it, is never read as a neighbour, and no tap leaves the buffer.

// Byte offsets from pixel (x, y) to its nine taps, row above, own row, row below, each left, centre, right;
// 0 for a tap that reads the pixel itself.
inline void neighbourOffsets(int x, int y, int width, int height, int stride, int offsets[9])
{
    for (int tap = 0; tap < 9; ++tap) {
        int rowStep = tap / 3 - 1;
        int columnStep = tap % 3 - 1;
        int column = x + columnStep;
        int row = y + rowStep;
        bool inside = column > 0 && column < width - 1 && row > 0 && row < height - 1;
        offsets[tap] = inside ? rowStep * stride + columnStep * 4 : 0;
    }
}

// Calls visit(x, y, pixel, offsets) for every 32-bit pixel, row by row from the top, asking the canceller
// before each row. Pixels whose taps all lie inside share one set of offsets and skip the tests. False, with
// last error 0, when cancelled.
template <typename Visit>
bool forEachNeighbourhood(const BYTE* pixels, int width, int height, int stride, ICanceller* canceller,
                          Visit visit)
{
    const int inner[9] = {-stride - 4, -stride, -stride + 4, -4, 0, 4, stride - 4, stride, stride + 4};
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        const BYTE* row = pixels + static_cast<INT_PTR>(y) * stride;
        auto visitEdge = [&](int x) {
            int offsets[9];
            neighbourOffsets(x, y, width, height, stride, offsets);
            visit(x, y, row + x * 4, offsets);
        };
        int x = 0;
        if (y >= 2 && y <= height - 3) {
            for (; x < 2 && x < width; ++x)
                visitEdge(x);
            for (; x <= width - 3; ++x)
                visit(x, y, row + x * 4, inner);
        }
        for (; x < width; ++x)
            visitEdge(x);
    }
    return true;
}
