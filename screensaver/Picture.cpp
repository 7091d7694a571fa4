#include "screensaver/Picture.h"
#include "screensaver/Pic.h"

bool Picture::createBlank(int width, int height)
{
    return create(width, height, BitCount, RGB(0, 0, 0));
}

bool Picture::createFrom(const Pic& pic)
{
    SIZE size = pic.pixelSize();
    if (size.cx < 1 || size.cy < 1) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    if (!createBlank(size.cx, size.cy))
        return false;
    bool drawn = pic.render(getDC(), size.cx, size.cy);
    DWORD error = GetLastError();
    releaseDC();
    GdiFlush();
    SetLastError(error);
    return drawn;
}
