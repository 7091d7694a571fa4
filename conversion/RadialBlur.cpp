#include "conversion/RadialBlur.h"
#include <algorithm>
#include <cmath>
#include <numbers>
#include "conversion/PixelFilterChecks.h"
#include "foundation/ScratchBuffer.h"

namespace {

constexpr int Samples = 17;
constexpr int CentreSample = 8;
constexpr int CentreWeight = 3;

// What the blur of one picture needs of its size.
struct BlurGeometry {
    const BYTE* pixels;
    int width;
    int height;
    double centreX;
    double centreY;
    // Distance from the centre to a corner.
    double reach;
    double sizeFactor;
    bool rotational;
};

void blurRow(const BlurGeometry& geometry, int y, BYTE* target)
{
    constexpr double quarterTurn = std::numbers::pi / 2;
    int width = geometry.width;
    int height = geometry.height;
    double dy = y - geometry.centreY;
    for (int x = 0; x < width; ++x, target += 4) {
        double dx = x - geometry.centreX;
        double angle = dx == 0 ? quarterTurn : std::atan(dy / dx);
        if (geometry.rotational)
            angle += quarterTurn;
        double step = std::sqrt(dx * dx + dy * dy) * geometry.sizeFactor / geometry.reach * 0.125;
        double cosine = std::cos(angle);
        double sine = std::sin(angle);
        int blue = 0, green = 0, red = 0, weights = 0;
        for (int k = 0; k < Samples; ++k) {
            double offset = (k - CentreSample) * step;
            int column = static_cast<int>(x + cosine * offset);
            int row = static_cast<int>(y + sine * offset);
            if (column < 0 || column >= width || row < 0 || row >= height)
                continue;
            const BYTE* sample = geometry.pixels + (static_cast<INT_PTR>(row) * width + column) * 4;
            int weight = k == CentreSample ? CentreWeight : 1;
            blue += sample[0] * weight;
            green += sample[1] * weight;
            red += sample[2] * weight;
            weights += weight;
        }
        target[0] = static_cast<BYTE>(blue / weights);
        target[1] = static_cast<BYTE>(green / weights);
        target[2] = static_cast<BYTE>(red / weights);
        target[3] = geometry.pixels[(static_cast<INT_PTR>(y) * width + x) * 4 + 3];
    }
}

} // namespace

RadialBlur::RadialBlur(double strength, int kind) : strength(std::max(strength, 1.0)), kind(kind) {}

bool RadialBlur::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    BlurGeometry geometry = {pixels, width, height, (width - 1) * 0.5, (height - 1) * 0.5, 0, 0,
                             kind == RadialBlurRotation};
    geometry.reach = std::sqrt(geometry.centreX * geometry.centreX + geometry.centreY * geometry.centreY);
    // A single pixel has no distance to spread over.
    if (geometry.reach == 0)
        return true;
    geometry.sizeFactor = std::max(width, height) / 1000.0 * strength;
    ScratchBuffer<BYTE> work(4LL * width * height);
    BYTE* results = work.get();
    if (!results)
        return false;
    int stride = width * 4;
    for (int y = 0; y < height; ++y) {
        if (stopRequested(canceller))
            return false;
        blurRow(geometry, y, results + static_cast<INT_PTR>(y) * stride);
    }
    CopyMemory(pixels, results, static_cast<SIZE_T>(stride) * height);
    return true;
}
