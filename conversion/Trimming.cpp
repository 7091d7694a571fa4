#include "conversion/Trimming.h"
#include <algorithm>
#include "conversion/PixelBuffer.h"
#include "foundation/MemoryAllocator.h"
#include "imaging/ICanceller.h"

namespace {

// Accepted range of one channel.
struct ChannelRange {
    UINT32 low;
    UINT32 high;

    ChannelRange(int reference, int tolerance)
        : low(static_cast<UINT32>(std::max(0, reference - tolerance))),
          high(static_cast<UINT32>(std::min(255, reference + tolerance)))
    {
    }
    bool holds(UINT32 value) const { return value >= low && value <= high; }
};

class BorderColour {
public:
    BorderColour(COLORREF reference, int tolerance)
        : red(GetRValue(reference), tolerance), green(GetGValue(reference), tolerance),
          blue(GetBValue(reference), tolerance)
    {
    }
    bool matches(UINT32 pixel) const
    {
        return red.holds((pixel >> 16) & 0xFF) && green.holds((pixel >> 8) & 0xFF) && blue.holds(pixel & 0xFF);
    }

private:
    ChannelRange red;
    ChannelRange green;
    ChannelRange blue;
};

// Matching pixels at the start of the row, looking no further than `limit`.
int leadingRun(const UINT32* row, int limit, const BorderColour& colour)
{
    int count = 0;
    while (count < limit && colour.matches(row[count]))
        ++count;
    return count;
}

int trailingRun(const UINT32* row, int width, int limit, const BorderColour& colour)
{
    int count = 0;
    while (count < limit && colour.matches(row[width - 1 - count]))
        ++count;
    return count;
}

bool rowMatches(const UINT32* row, int width, const BorderColour& colour)
{
    return leadingRun(row, width, colour) == width;
}

} // namespace

bool Trimming::apply(const UINT32* pixels, int width, int height, UINT32*& outPixels, int& outWidth,
                     int& outHeight, ICanceller* canceller)
{
    clearOutput(outPixels, outWidth, outHeight);
    // Compared as 64-bit sums: margins near INT_MAX must not wrap into a plausible size.
    LONGLONG keptWidth = static_cast<LONGLONG>(width) - left - right;
    LONGLONG keptHeight = static_cast<LONGLONG>(height) - top - bottom;
    if (!pixels || left < 0 || top < 0 || right < 0 || bottom < 0 || keptWidth < 1 || keptHeight < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    int newWidth = static_cast<int>(keptWidth);
    int newHeight = static_cast<int>(keptHeight);
    UINT32* out = allocPixels(newWidth, newHeight);
    if (!out)
        return false;
    for (int y = 0; y < newHeight; ++y) {
        if (isCancelled(canceller)) {
            MemoryAllocator::free(out);
            SetLastError(0);
            return false;
        }
        const UINT32* source = pixels + static_cast<INT_PTR>(top + y) * width + left;
        CopyMemory(out + static_cast<INT_PTR>(y) * newWidth, source, static_cast<SIZE_T>(newWidth) * 4);
    }
    outPixels = out;
    outWidth = newWidth;
    outHeight = newHeight;
    return true;
}

bool autoTrimScan(const UINT32* pixels, int width, int height, COLORREF reference, int tolerance, int& left,
                  int& top, int& right, int& bottom)
{
    left = top = right = bottom = 0;
    if (!pixels || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    BorderColour colour(reference, std::clamp(tolerance, 0, 255));
    auto row = [&](int y) { return pixels + static_cast<INT_PTR>(y) * width; };
    while (top < height && rowMatches(row(top), width, colour))
        ++top;
    while (bottom < height && rowMatches(row(height - 1 - bottom), width, colour))
        ++bottom;
    // A column is uniform when every row's matching run reaches past it, so the side counts are the
    // shortest runs; rows are read in memory order.
    left = right = width;
    for (int y = 0; y < height; ++y) {
        left = leadingRun(row(y), left, colour);
        right = trailingRun(row(y), width, right, colour);
    }
    return true;
}
