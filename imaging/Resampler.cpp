#include "imaging/Resampler.h"
#include <algorithm>
#include <cmath>
#include <new>
#include "foundation/ScratchBuffer.h"

namespace {

double triangle(double x)
{
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

double catmullRom(double x)
{
    x = std::fabs(x);
    if (x < 1.0)
        return (1.5 * x - 2.5) * x * x + 1.0;
    if (x < 2.0)
        return ((-0.5 * x + 2.5) * x - 4.0) * x + 2.0;
    return 0.0;
}

// Position `i` in a picture of `size` extended by mirroring at both edges, the edge pixel repeated.
int mirrored(int i, int size)
{
    int period = 2 * size;
    int m = i % period;
    if (m < 0)
        m += period;
    return m < size ? m : period - 1 - m;
}

// One source row as premultiplied floats, four per pixel in memory order (blue, green, red, alpha).
void premultiplyRow(const BYTE* row, int width, Gdiplus::PixelFormat format, float* out)
{
    for (int x = 0; x < width; ++x, row += 4, out += 4) {
        if (format == PixelFormat32bppRGB) {
            out[0] = row[0];
            out[1] = row[1];
            out[2] = row[2];
            out[3] = 255.0f;
            continue;
        }
        float factor = format == PixelFormat32bppPARGB ? 1.0f : row[3] / 255.0f;
        out[0] = row[0] * factor;
        out[1] = row[1] * factor;
        out[2] = row[2] * factor;
        out[3] = row[3];
    }
}

void resampleRow(const float* in, const Resampler::Taps& taps, int targetWidth, float* out)
{
    for (int x = 0; x < targetWidth; ++x, out += 4) {
        const float* pixel = in + 4 * static_cast<INT_PTR>(taps.first[x]);
        const float* weight = taps.weights.data() + taps.offset[x];
        float b = 0, g = 0, r = 0, a = 0;
        for (int k = 0; k < taps.count[x]; ++k, pixel += 4) {
            b += weight[k] * pixel[0];
            g += weight[k] * pixel[1];
            r += weight[k] * pixel[2];
            a += weight[k] * pixel[3];
        }
        out[0] = b;
        out[1] = g;
        out[2] = r;
        out[3] = a;
    }
}

BYTE rounded(float value)
{
    return static_cast<BYTE>(value + 0.5f);
}

// Clamps the premultiplied sums (the bicubic filter over- and undershoots) and un-premultiplies them.
void writeRow(const float* in, int width, BYTE* out)
{
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
        float alpha = std::clamp(in[3], 0.0f, 255.0f);
        BYTE alpha8 = rounded(alpha);
        if (alpha8 == 0) {
            out[0] = out[1] = out[2] = out[3] = 0;
            continue;
        }
        float factor = 255.0f / alpha;
        for (int c = 0; c < 3; ++c)
            out[c] = rounded(std::clamp(in[c], 0.0f, alpha) * factor);
        out[3] = alpha8;
    }
}

} // namespace

Resampler::Filter Resampler::filterOf(Gdiplus::InterpolationMode mode)
{
    switch (mode) {
    case Gdiplus::InterpolationModeNearestNeighbor:
        return Nearest;
    case Gdiplus::InterpolationModeHighQuality:
    case Gdiplus::InterpolationModeHighQualityBilinear:
    case Gdiplus::InterpolationModeHighQualityBicubic:
    case Gdiplus::InterpolationModeBicubic:
        return Bicubic;
    default:
        return Linear;
    }
}

void Resampler::buildTaps(Taps& taps, int sourceSize, int targetSize, Filter filter)
{
    taps.first.assign(targetSize, 0);
    taps.count.assign(targetSize, 1);
    taps.offset.assign(targetSize, 0);
    taps.weights.clear();
    double scale = static_cast<double>(sourceSize) / targetSize;
    // Shrinking widens the filter by the scale so that every source pixel counts: no aliasing.
    double stretch = std::max(1.0, scale);
    double support = (filter == Bicubic ? 2.0 : 1.0) * stretch;
    std::vector<double> folded;
    for (int i = 0; i < targetSize; ++i) {
        double centre = (i + 0.5) * scale - 0.5;
        taps.offset[i] = static_cast<int>(taps.weights.size());
        if (filter == Nearest) {
            taps.first[i] = std::clamp(static_cast<int>((i + 0.5) * scale), 0, sourceSize - 1);
            taps.weights.push_back(1.0f);
            continue;
        }
        int low = static_cast<int>(std::floor(centre - support));
        int high = static_cast<int>(std::ceil(centre + support));
        int first = sourceSize;
        int last = -1;
        for (int j = low; j <= high; ++j) {
            int m = mirrored(j, sourceSize);
            first = std::min(first, m);
            last = std::max(last, m);
        }
        folded.assign(last - first + 1, 0.0);
        double total = 0.0;
        for (int j = low; j <= high; ++j) {
            double distance = (j - centre) / stretch;
            double weight = filter == Bicubic ? catmullRom(distance) : triangle(distance);
            folded[mirrored(j, sourceSize) - first] += weight;
            total += weight;
        }
        taps.first[i] = first;
        taps.count[i] = last - first + 1;
        for (double weight : folded)
            taps.weights.push_back(static_cast<float>(weight / total));
    }
}

bool Resampler::resample(const BYTE* source, INT_PTR sourceStride, int sourceWidth, int sourceHeight,
                         Gdiplus::PixelFormat format, BYTE* target, INT_PTR targetStride, int targetWidth,
                         int targetHeight, Filter filter)
{
    try {
        Taps columns;
        Taps rows;
        buildTaps(columns, sourceWidth, targetWidth, filter);
        buildTaps(rows, sourceHeight, targetHeight, filter);
        // Each source row is narrowed once, into a ring that holds as many rows as the widest vertical filter:
        // the runs only move down the picture, so a row leaves the ring after its last use.
        int ringRows = 1;
        for (int y = 0; y < targetHeight; ++y) {
            ringRows = std::max(ringRows, rows.count[y]);
            if (y > 0 && rows.first[y] < rows.first[y - 1])
                ringRows = sourceHeight;
        }
        size_t rowFloats = 4 * static_cast<size_t>(targetWidth);
        ScratchBuffer<float> sourceRow(4LL * sourceWidth);
        ScratchBuffer<float> ring(static_cast<LONGLONG>(rowFloats) * ringRows);
        ScratchBuffer<float> sum(static_cast<LONGLONG>(rowFloats));
        if (!sourceRow.get() || !ring.get() || !sum.get())
            return false;
        int narrowedRows = 0;
        for (int y = 0; y < targetHeight; ++y) {
            int end = rows.first[y] + rows.count[y];
            for (; narrowedRows < end; ++narrowedRows) {
                premultiplyRow(source + narrowedRows * sourceStride, sourceWidth, format, sourceRow.get());
                resampleRow(sourceRow.get(), columns, targetWidth, ring.get() + (narrowedRows % ringRows) * rowFloats);
            }
            std::fill(sum.get(), sum.get() + rowFloats, 0.0f);
            const float* weight = rows.weights.data() + rows.offset[y];
            for (int k = 0; k < rows.count[y]; ++k) {
                const float* in = ring.get() + ((rows.first[y] + k) % ringRows) * rowFloats;
                float w = weight[k];
                for (size_t n = 0; n < rowFloats; ++n)
                    sum[n] += w * in[n];
            }
            writeRow(sum.get(), targetWidth, target + y * targetStride);
        }
        return true;
    } catch (const std::bad_alloc&) {
        // The tap tables grow as they are built; a failure there reads as the pixel buffers' does.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}
