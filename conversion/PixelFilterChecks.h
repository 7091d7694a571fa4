#pragma once
#include <windows.h>
#include "imaging/ICanceller.h"

// The checks that every pixel filter makes on the way in and before each row.

// False, with last error 87, for no buffer or an empty size.
inline bool acceptPixels(const BYTE* pixels, int width, int height)
{
    if (pixels && width > 0 && height > 0)
        return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// True, with last error 0, when the canceller asks to stop.
inline bool stopRequested(ICanceller* canceller)
{
    if (!isCancelled(canceller))
        return false;
    SetLastError(0);
    return true;
}
