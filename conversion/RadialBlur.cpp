#include "conversion/RadialBlur.h"
#include <emmintrin.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include "conversion/Neighbourhood.h"
#include "conversion/PixelFilterChecks.h"
#include "foundation/ScratchBuffer.h"

// The formula places 17 samples at (x + cos(angle) * u, y + sin(angle) * u), u = (k - 8) * step, truncated
// toward zero, with the angle from atan(dy / dx). Three trigonometric calls a pixel cost more than all the
// rest, so the samples are placed without them: cos(atan(t)) is |dx| / d and sin(atan(t)) is dy / d with the
// sign of dx, and step is d times a constant, so the offsets are j times |dx| or |dy| times that constant
// (j = 1..8 on either side). Those products are taken in 32.32 fixed point. They differ from the exact
// places by rounding errors far below the slack; wherever every product lies further than the slack from a
// whole number, both land on the same pixels. The few pixels where one does not (the row and column through
// the centre, and chance) are done the exact way.

namespace {

constexpr int Samples = 17;
constexpr int CentreSample = 8;
constexpr int CentreWeight = 3;
constexpr int FixedPointShift = 32;

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
    // The sample spacing per pixel of distance from the centre.
    double spacingFactor;
    // How far a quick sample place may lie from the exact one, in fixed point, with a wide margin.
    LONGLONG slack;
};

const BYTE* pixelAt(const BlurGeometry& geometry, int column, int row)
{
    return geometry.pixels + (static_cast<INT_PTR>(row) * geometry.width + column) * 4;
}

// sum / weights for every sum of at most 255 x weights (weights 3 to 19): sum x ceil(2^18 / weights) >> 18,
// which spares three divisions a pixel.
constexpr int ReciprocalShift = 18;

void writeAverage(int blue, int green, int red, int weights, BYTE alpha, BYTE* target)
{
    static constexpr auto reciprocals = [] {
        std::array<int, Samples - 1 + CentreWeight + 1> table = {};
        for (int count = 1; count < static_cast<int>(table.size()); ++count)
            table[count] = ((1 << ReciprocalShift) + count - 1) / count;
        return table;
    }();
    int reciprocal = reciprocals[weights];
    target[0] = static_cast<BYTE>(blue * reciprocal >> ReciprocalShift);
    target[1] = static_cast<BYTE>(green * reciprocal >> ReciprocalShift);
    target[2] = static_cast<BYTE>(red * reciprocal >> ReciprocalShift);
    target[3] = alpha;
}

// Channel sums over the samples, and the sum of their weights.
struct SampleSums {
    int blue = 0;
    int green = 0;
    int red = 0;
    int weights = 0;

    void add(const BYTE* sample, int weight)
    {
        blue += sample[0] * weight;
        green += sample[1] * weight;
        red += sample[2] * weight;
        weights += weight;
    }
    void write(BYTE alpha, BYTE* target) const { writeAverage(blue, green, red, weights, alpha, target); }
};

// The samples at the exact places of the formula, through the trigonometric functions.
void blurPixelExactly(const BlurGeometry& geometry, int x, int y, BYTE* target)
{
    constexpr double quarterTurn = std::numbers::pi / 2;
    double dx = x - geometry.centreX;
    double dy = y - geometry.centreY;
    double angle = dx == 0 ? quarterTurn : std::atan(dy / dx);
    if (geometry.rotational)
        angle += quarterTurn;
    double step = std::sqrt(dx * dx + dy * dy) * geometry.sizeFactor / geometry.reach * 0.125;
    double cosine = std::cos(angle);
    double sine = std::sin(angle);
    SampleSums sums;
    for (int k = 0; k < Samples; ++k) {
        double offset = (k - CentreSample) * step;
        int column = static_cast<int>(x + cosine * offset);
        int row = static_cast<int>(y + sine * offset);
        if (column < 0 || column >= geometry.width || row < 0 || row >= geometry.height)
            continue;
        sums.add(pixelAt(geometry, column, row), k == CentreSample ? CentreWeight : 1);
    }
    sums.write(pixelAt(geometry, x, y)[3], target);
}

// The whole-pixel offsets of the samples along one axis: floor(j x spacing) ahead of the pixel for
// j = 1..8, and floor(-j x spacing) = -floor(j x spacing) - 1 behind it.
struct AxisSteps {
    int ahead[CentreSample];
    // False when a product lies within the slack of a whole number, where the exact place might fall on the
    // other side of it.
    bool settled;

    AxisSteps() = default;
    AxisSteps(double spacing, LONGLONG slack) : settled(false)
    {
        if (!(std::fabs(spacing) < 1e8))
            return;
        auto fixed = static_cast<LONGLONG>(spacing * (1LL << FixedPointShift));
        // A fraction is safe when it lies in [slack, 1 - slack].
        auto safeWidth = static_cast<ULONGLONG>((1LL << FixedPointShift) - 2 * slack);
        ULONGLONG unsafe = 0;
        LONGLONG distance = 0;
        for (int j = 0; j < CentreSample; ++j) {
            distance += fixed;
            ahead[j] = static_cast<int>(distance >> FixedPointShift);
            auto fraction = static_cast<ULONGLONG>(distance & 0xFFFFFFFF);
            unsafe |= static_cast<ULONGLONG>(fraction - slack > safeWidth);
        }
        settled = unsafe == 0;
    }

    // The same offsets for the opposite spacing.
    AxisSteps reversed() const
    {
        AxisSteps result;
        for (int j = 0; j < CentreSample; ++j)
            result.ahead[j] = -ahead[j] - 1;
        result.settled = settled;
        return result;
    }

    int behind(int j) const { return -ahead[j] - 1; }
    int furthestAhead() const { return ahead[CentreSample - 1]; }
};

// True when every sample of the pixel lies in the picture.
bool samplesInside(const BlurGeometry& geometry, int x, int y, const AxisSteps& columns, const AxisSteps& rows)
{
    int lastColumn = geometry.width - 1;
    int lastRow = geometry.height - 1;
    auto inside = [](int place, int last) { return place >= 0 && place <= last; };
    return inside(x + columns.furthestAhead(), lastColumn) &&
           inside(x + columns.behind(CentreSample - 1), lastColumn) && inside(y + rows.furthestAhead(), lastRow) &&
           inside(y + rows.behind(CentreSample - 1), lastRow);
}

// All 17 samples in the picture: no checks, 16-bit channel sums four lanes at a time (at most 19 x 255).
void blurInside(const BlurGeometry& geometry, int x, int y, const AxisSteps& columns, const AxisSteps& rows,
                BYTE* target)
{
    const __m128i zero = _mm_setzero_si128();
    const BYTE* own = pixelAt(geometry, x, y);
    __m128i centre = _mm_unpacklo_epi8(loadPixel(own), zero);
    __m128i sums = _mm_add_epi16(centre, _mm_add_epi16(centre, centre));
    INT_PTR rowBytes = static_cast<INT_PTR>(geometry.width) * 4;
    auto add = [&](int columnStep, int rowStep) {
        const BYTE* sample = own + rowStep * rowBytes + columnStep * 4;
        sums = _mm_add_epi16(sums, _mm_unpacklo_epi8(loadPixel(sample), zero));
    };
    for (int j = 0; j < CentreSample; ++j) {
        add(columns.ahead[j], rows.ahead[j]);
        add(columns.behind(j), rows.behind(j));
    }
    writeAverage(_mm_extract_epi16(sums, 0), _mm_extract_epi16(sums, 1), _mm_extract_epi16(sums, 2),
                 Samples - 1 + CentreWeight, own[3], target);
}

// Samples outside the picture are left out. Truncation toward zero puts a place between -1 and 0 on 0.
void blurNearEdge(const BlurGeometry& geometry, int x, int y, const AxisSteps& columns, const AxisSteps& rows,
                  BYTE* target)
{
    SampleSums sums;
    const BYTE* own = pixelAt(geometry, x, y);
    sums.add(own, CentreWeight);
    auto truncated = [](int place) { return place == -1 ? 0 : place; };
    auto add = [&](int columnStep, int rowStep) {
        int column = truncated(x + columnStep);
        int row = truncated(y + rowStep);
        if (column >= 0 && column < geometry.width && row >= 0 && row < geometry.height)
            sums.add(pixelAt(geometry, column, row), 1);
    };
    for (int j = 0; j < CentreSample; ++j) {
        add(columns.ahead[j], rows.ahead[j]);
        add(columns.behind(j), rows.behind(j));
    }
    sums.write(own[3], target);
}

void blurRow(const BlurGeometry& geometry, int y, BYTE* target)
{
    double dy = y - geometry.centreY;
    // Along a row the spacing across the pixel's own axis changes only its sign, with the signs of dx and dy.
    AxisSteps forward(std::fabs(dy) * geometry.spacingFactor, geometry.slack);
    const AxisSteps crossing[2] = {forward, forward.reversed()};
    for (int x = 0; x < geometry.width; ++x, target += 4) {
        double dx = x - geometry.centreX;
        AxisSteps own(std::fabs(dx) * geometry.spacingFactor, geometry.slack);
        bool negative = (dx < 0) != (dy < 0);
        const AxisSteps& cross = crossing[negative != geometry.rotational];
        if (!own.settled || !cross.settled) {
            blurPixelExactly(geometry, x, y, target);
            continue;
        }
        // The radial kind moves along dx across the columns and the rotational one along it down the rows.
        const AxisSteps& columns = geometry.rotational ? cross : own;
        const AxisSteps& rows = geometry.rotational ? own : cross;
        if (samplesInside(geometry, x, y, columns, rows))
            blurInside(geometry, x, y, columns, rows, target);
        else
            blurNearEdge(geometry, x, y, columns, rows, target);
    }
}

} // namespace

RadialBlur::RadialBlur(double strength, int kind) : strength(std::max(strength, 1.0)), kind(kind) {}

bool RadialBlur::apply(BYTE* pixels, int width, int height, ICanceller* canceller)
{
    if (!acceptPixels(pixels, width, height))
        return false;
    BlurGeometry geometry = {
        pixels, width, height, (width - 1) * 0.5, (height - 1) * 0.5, 0, 0, kind == RadialBlurRotation, 0, 0};
    geometry.reach = std::sqrt(geometry.centreX * geometry.centreX + geometry.centreY * geometry.centreY);
    // A single pixel has no distance to spread over.
    if (geometry.reach == 0)
        return true;
    geometry.sizeFactor = std::max(width, height) / 1000.0 * strength;
    geometry.spacingFactor = geometry.sizeFactor / geometry.reach * 0.125;
    // The places differ from the exact ones by the fixed point's 8 x 2^-32 and by rounding errors of about
    // 1e-16 times the largest place or distance involved; this allows well over a thousand times that.
    double slack = 1e-8 + 1e-10 * (std::max(width, height) + geometry.sizeFactor);
    geometry.slack = static_cast<LONGLONG>(std::min(slack, 0.25) * (1LL << FixedPointShift));
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
