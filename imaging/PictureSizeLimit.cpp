#include "imaging/PictureSizeLimit.h"
#include <cmath>

bool PictureSizeLimit::admits(double width, double height, int bitsPerPixel)
{
    // Written so that a NaN fails the test; each side alone must fit before the sizes are multiplied.
    if (!(width >= 0 && height >= 0 && width <= MaxPixels && height <= MaxPixels))
        return false;
    auto columns = static_cast<LONGLONG>(std::ceil(width));
    auto rows = static_cast<LONGLONG>(std::ceil(height));
    LONGLONG stride = (columns * (bitsPerPixel > 0 ? bitsPerPixel : 0) + 31) / 32 * 4;
    return columns * rows <= MaxPixels && stride * rows <= MaxBytes;
}

bool PictureSizeLimit::check(double width, double height, int bitsPerPixel)
{
    if (admits(width, height, bitsPerPixel))
        return true;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}
