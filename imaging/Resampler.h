#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <vector>

// Separable resampling of 32-bit pixels. Samples past an edge are read from the picture mirrored across that
// edge (the edge pixel repeated first), so a flat picture stays exactly flat and a frame keeps its colour.
// Colours are interpolated premultiplied by alpha and un-premultiplied at the end, so fully transparent
// pixels lend no colour to their neighbours.
class Resampler {
public:
    enum Filter { Nearest, Linear, Bicubic };

    // Nearest for nearest neighbour, the triangle for the bilinear and default modes, Catmull-Rom for the
    // bicubic and high-quality ones.
    static Filter filterOf(Gdiplus::InterpolationMode mode);

    // Rows of `sourceStride` bytes in; `target` takes unpremultiplied ARGB. `format` is 32bppARGB, 32bppPARGB
    // or 32bppRGB (whose fourth byte is ignored). False with last error 8 when memory runs out.
    static bool resample(const BYTE* source, INT_PTR sourceStride, int sourceWidth, int sourceHeight,
                         Gdiplus::PixelFormat format, BYTE* target, INT_PTR targetStride, int targetWidth,
                         int targetHeight, Filter filter);

    // The contiguous source run and its weights (summing to 1) that make each target position along one axis.
    struct Taps {
        std::vector<int> first;
        std::vector<int> count;
        std::vector<int> offset;
        std::vector<float> weights;
    };

private:
    static void buildTaps(Taps& taps, int sourceSize, int targetSize, Filter filter);
};
