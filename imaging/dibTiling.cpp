#include "imaging/dibTiling.h"
#include <algorithm>
#include <memory>
#include <new>
#include "imaging/PictureSizeLimit.h"

namespace {

int fail(DWORD error)
{
    SetLastError(error);
    return -1;
}

// The part of the picture inside the tile, on a full tile of the background where the picture ends early.
// An indexed picture's padded tile becomes 24-bit, so that the background is the colour asked for and not
// the palette colour nearest to it.
Dib* cutTile(const Dib& source, int x, int y, int tileWidth, int tileHeight, COLORREF background)
{
    int insideWidth = std::min(tileWidth, source.width() - x);
    int insideHeight = std::min(tileHeight, source.height() - y);
    std::unique_ptr<Dib> tile(new (std::nothrow) Dib);
    if (!tile) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!tile->copyRegionScaled(source, 1.0, x, y, insideWidth, insideHeight))
        return nullptr;
    if (insideWidth == tileWidth && insideHeight == tileHeight)
        return tile.release();
    if (tile->bitCount() <= 8 && !tile->toBitsPerPixel24())
        return nullptr;
    if (!tile->resizeCanvas(tileWidth, tileHeight, background))
        return nullptr;
    return tile.release();
}

} // namespace

int splitDibIntoTiles(const Dib& source, ObjectArray<Dib>& tiles, int tileWidth, int tileHeight, int firstIndex,
                      COLORREF background)
{
    tiles.removeAll();
    if (source.isEmpty() || tileWidth < 1 || tileHeight < 1 || firstIndex < 0)
        return fail(ERROR_INVALID_PARAMETER);
    LONGLONG columns = (static_cast<LONGLONG>(source.width()) + tileWidth - 1) / tileWidth;
    LONGLONG rows = (static_cast<LONGLONG>(source.height()) + tileHeight - 1) / tileHeight;
    LONGLONG end = std::min(columns * rows, static_cast<LONGLONG>(firstIndex) + TilesPerCall);
    for (LONGLONG number = firstIndex; number < end; ++number) {
        // Tiles padded far beyond a small picture could add up to gigabytes: a call ends before its tiles
        // together outgrow one picture of the size limit (tiles are at most 32 bits deep), and the caller goes
        // on from the next number.
        LONGLONG count = number - firstIndex + 1;
        if (count > 1 && !PictureSizeLimit::admits(tileWidth, static_cast<double>(tileHeight) * count))
            break;
        int x = static_cast<int>(number % columns * tileWidth);
        int y = static_cast<int>(number / columns * tileHeight);
        Dib* tile = cutTile(source, x, y, tileWidth, tileHeight, background);
        if (!tile || !tiles.add(tile)) {
            DWORD error = GetLastError();
            tiles.removeAll();
            return fail(error);
        }
    }
    return tiles.count();
}

bool joinDibs(const ObjectArray<Dib>& pictures, Dib& destination, bool vertical, COLORREF background)
{
    destination.reallocInfo(0);
    if (pictures.count() == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    LONGLONG length = 0;
    int breadth = 0;
    for (int i = 0; i < pictures.count(); ++i) {
        const Dib& picture = *pictures.at(i);
        length += vertical ? picture.height() : picture.width();
        breadth = std::max(breadth, vertical ? picture.width() : picture.height());
    }
    double across = vertical ? breadth : static_cast<double>(length);
    double down = vertical ? static_cast<double>(length) : breadth;
    if (!PictureSizeLimit::check(across, down, 24))
        return false;
    auto width = static_cast<int>(across);
    auto height = static_cast<int>(down);
    if (!destination.create(width, height, 24, background))
        return false;
    HDC dc = destination.getDC();
    bool drawn = true;
    int offset = 0;
    for (int i = 0; i < pictures.count() && drawn; ++i) {
        const Dib& picture = *pictures.at(i);
        drawn = vertical ? picture.drawStretched(dc, 0, offset, picture.width(), picture.height())
                         : picture.drawStretched(dc, offset, 0, picture.width(), picture.height());
        offset += vertical ? picture.height() : picture.width();
    }
    destination.releaseDC();
    if (drawn)
        return true;
    DWORD error = GetLastError();
    destination.reallocInfo(0);
    SetLastError(error);
    return false;
}
