#include "screensaver/FadePicture.h"
#include <algorithm>
#include "screensaver/Blend.h"

bool FadePicture::setBackground(const Dib& snapshot, int width, int height)
{
    if (!background.createBlank(width, height))
        return false;
    bool drawn = snapshot.drawStretched(background.getDC(), 0, 0, width, height);
    background.releaseDC();
    GdiFlush();
    return drawn;
}

bool FadePicture::setSource(const Picture& picture)
{
    if (source.copyScaled(picture, 1.0) && frame.copyScaled(picture, 1.0))
        return true;
    DWORD error = GetLastError();
    source.reallocInfo(0);
    frame.reallocInfo(0);
    SetLastError(error);
    return false;
}

void FadePicture::release()
{
    source.reallocInfo(0);
    frame.reallocInfo(0);
    background.reallocInfo(0);
}

bool FadePicture::visiblePart(int x, int y, RECT& part) const
{
    if (source.isEmpty() || background.isEmpty())
        return false;
    part.left = std::max(0, -x);
    part.top = std::max(0, -y);
    part.right = std::min(source.width(), background.width() - x);
    part.bottom = std::min(source.height(), background.height() - y);
    return part.left < part.right && part.top < part.bottom;
}

void FadePicture::blendFrame(int x, int y, int weight)
{
    RECT part;
    if (!visiblePart(x, y, part))
        return;
    GdiFlush();
    int offset = part.left * Picture::BytesPerPixel;
    int count = (part.right - part.left) * Picture::BytesPerPixel;
    int backgroundOffset = (x + part.left) * Picture::BytesPerPixel;
    for (int row = part.top; row < part.bottom; ++row)
        Blend::mixFast(source.row(row) + offset, background.row(y + row) + backgroundOffset, frame.row(row) + offset,
                       count, weight);
}

void FadePicture::drawBackground(HDC dc) const
{
    BitBlt(dc, 0, 0, background.width(), background.height(), background.getDC(), 0, 0, SRCCOPY);
    background.releaseDC();
}

void FadePicture::drawFrame(HDC dc, int x, int y, int weight)
{
    RECT part;
    if (!visiblePart(x, y, part))
        return;
    blendFrame(x, y, weight);
    BitBlt(dc, x + part.left, y + part.top, part.right - part.left, part.bottom - part.top, frame.getDC(), part.left,
           part.top, SRCCOPY);
    frame.releaseDC();
}
