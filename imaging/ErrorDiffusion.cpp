#include "imaging/ErrorDiffusion.h"
#include "foundation/ScratchBuffer.h"
#include "imaging/ICanceller.h"
#include "imaging/PaletteLookup.h"

namespace {

// The carried error is kept 16 times too large; its share is rounded half away from zero. Without branches:
// the signs of the errors are as good as random.
int share(int error)
{
    int sign = error >> 31;
    int magnitude = (error ^ sign) - sign;
    return (((magnitude + 8) >> 4) ^ sign) - sign;
}

int clampChannel(int value)
{
    value = value < 0 ? 0 : value;
    return value > 255 ? 255 : value;
}

// Each error row has one spare triple at either end, which takes what would fall outside the picture. The
// error for the right neighbour stays in locals until it is used. choose(x, pixel, index) records each choice.
template <typename Choose>
void diffuseRow(const BYTE* pixel, int width, const int* current, int* next, const RGBQUAD* palette,
                PaletteLookup& lookup, Choose choose)
{
    int rightRed = 0, rightGreen = 0, rightBlue = 0;
    for (int x = 0; x < width; ++x, pixel += 4) {
        const int* here = current + (x + 1) * 3;
        int red = clampChannel(pixel[2] + share(here[0] + rightRed));
        int green = clampChannel(pixel[1] + share(here[1] + rightGreen));
        int blue = clampChannel(pixel[0] + share(here[2] + rightBlue));
        int index = lookup.indexOf(red, green, blue);
        const RGBQUAD& chosen = palette[index];
        choose(x, index);
        int errorRed = red - chosen.rgbRed;
        int errorGreen = green - chosen.rgbGreen;
        int errorBlue = blue - chosen.rgbBlue;
        rightRed = errorRed * 7;
        rightGreen = errorGreen * 7;
        rightBlue = errorBlue * 7;
        int* below = next + x * 3; // below-left, below, below-right
        below[0] += errorRed * 3;
        below[1] += errorGreen * 3;
        below[2] += errorBlue * 3;
        below[3] += errorRed * 5;
        below[4] += errorGreen * 5;
        below[5] += errorBlue * 5;
        below[6] = errorRed;
        below[7] = errorGreen;
        below[8] = errorBlue;
    }
}

// Runs the diffusion from the top row down; chooseRow(y, row, current, next, lookup) diffuses one row.
template <typename ChooseRow>
bool diffuseRows(int width, int height, const RGBQUAD* palette, int count, ICanceller* canceller,
                 ChooseRow chooseRow)
{
    PaletteLookup lookup;
    if (!lookup.setPalette(palette, count))
        return false;
    LONGLONG rowInts = (static_cast<LONGLONG>(width) + 2) * 3;
    ScratchBuffer<int> errors;
    if (!errors.allocate(rowInts * 2))
        return false;
    int* current = errors.get();
    int* next = current + rowInts;
    for (int y = height - 1; y >= 0; --y) {
        chooseRow(y, current, next, lookup);
        ZeroMemory(current, rowInts * sizeof(int));
        int* done = current;
        current = next;
        next = done;
        if (isCancelled(canceller)) {
            SetLastError(0);
            return false;
        }
    }
    return true;
}

} // namespace

bool diffuseErrorToPalette(BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, bool indexInAlpha)
{
    if (!pixels || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    INT_PTR stride = static_cast<INT_PTR>(width) * 4;
    return diffuseRows(width, height, palette, count, canceller,
                       [&](int y, const int* current, int* next, PaletteLookup& lookup) {
                           BYTE* row = pixels + y * stride;
                           diffuseRow(row, width, current, next, palette, lookup, [&](int x, int index) {
                               BYTE* pixel = row + x * 4;
                               const RGBQUAD& chosen = palette[index];
                               if (indexInAlpha)
                                   pixel[3] = static_cast<BYTE>(index);
                               pixel[0] = chosen.rgbBlue;
                               pixel[1] = chosen.rgbGreen;
                               pixel[2] = chosen.rgbRed;
                           });
                       });
}

bool diffuseErrorToIndices(const BYTE* pixels, int width, int height, const RGBQUAD* palette, int count,
                           ICanceller* canceller, IndexRowSink& sink)
{
    if (!pixels || width < 1 || height < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    ScratchBuffer<BYTE> indices;
    if (!indices.allocate(width))
        return false;
    INT_PTR stride = static_cast<INT_PTR>(width) * 4;
    BYTE* chosen = indices.get();
    return diffuseRows(width, height, palette, count, canceller,
                       [&](int y, const int* current, int* next, PaletteLookup& lookup) {
                           diffuseRow(pixels + y * stride, width, current, next, palette, lookup,
                                      [chosen](int x, int index) { chosen[x] = static_cast<BYTE>(index); });
                           sink.takeRow(y, chosen);
                       });
}
