#include "toolkit/PictureScene.h"
#include <algorithm>

namespace {

bool holdsPicture(const IImage* image)
{
    return image && !const_cast<IImage*>(image)->isEmpty();
}

void drawBackground(HDC dc, int width, int height, const PictureScene& scene)
{
    if (holdsPicture(scene.background)) {
        IImage& tile = *scene.background;
        int tileWidth = tile.width();
        int tileHeight = tile.height();
        for (int y = 0; y < height; y += tileHeight)
            for (int x = 0; x < width; x += tileWidth)
                tile.draw(dc, x, y, tileWidth, tileHeight, 0, 0, tileWidth, tileHeight);
        return;
    }
    Rect all(0, 0, width, height);
    if (scene.backColor == static_cast<COLORREF>(-1)) {
        FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    HBRUSH brush = CreateSolidBrush(scene.backColor);
    FillRect(dc, &all, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    if (brush)
        DeleteObject(brush);
}

void drawPicture(HDC dc, int width, int height, const PictureScene& scene)
{
    IImage& picture = *scene.picture->image;
    int pictureWidth = scene.picture->width;
    int pictureHeight = scene.picture->height;
    switch (scene.mode) {
    case 0: {
        int shownWidth = std::min(pictureWidth, width);
        int shownHeight = std::min(pictureHeight, height);
        picture.draw(dc, 0, 0, shownWidth, shownHeight, scene.scroll.x, scene.scroll.y, shownWidth, shownHeight);
        break;
    }
    case 1:
        picture.draw(dc, 0, 0, width, height, 0, 0, pictureWidth, pictureHeight);
        break;
    default: {
        Rect place = fittedPicturePlace(scene.mode, pictureWidth, pictureHeight, width, height);
        picture.draw(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, 0, 0, pictureWidth,
                     pictureHeight);
        break;
    }
    }
}

} // namespace

void drawPictureScene(HDC dc, int width, int height, const PictureScene& scene)
{
    drawBackground(dc, width, height, scene);
    if (scene.picture && holdsPicture(scene.picture->image.get()))
        drawPicture(dc, width, height, scene);
}

// Scaled to the client width, or to the client height when that would make it too high; the ratios in floating
// point, since integer ratios of a picture larger than the client area would be 0.
Rect fittedPicturePlace(int mode, int pictureWidth, int pictureHeight, int clientWidth, int clientHeight)
{
    int width = clientWidth;
    int height = static_cast<int>(pictureHeight * (static_cast<double>(clientWidth) / pictureWidth));
    if (height > clientHeight) {
        height = clientHeight;
        width = static_cast<int>(pictureWidth * (static_cast<double>(clientHeight) / pictureHeight));
    }
    // Mode 4 never enlarges.
    if (mode == 4 && pictureWidth <= clientWidth && pictureHeight <= clientHeight) {
        width = pictureWidth;
        height = pictureHeight;
    }
    int x = 0;
    int y = 0;
    // Mode 2 keeps the top left.
    if (mode != 2) {
        x = (clientWidth - width) / 2;
        y = (clientHeight - height) / 2;
    }
    return Rect(x, y, x + width, y + height);
}

void PictureSceneRenderer::draw(const PictureSceneRequest& request, std::unique_ptr<Dib>& drawn)
{
    try {
        auto frame = std::make_unique<Dib>();
        if (!frame->create(request.width, request.height, 32, 0))
            return;
        CriticalSectionLock use(request.picture->use);
        PictureScene scene{request.mode, request.backColor, request.background.get(), request.picture.get()};
        drawPictureScene(frame->getDC(), request.width, request.height, scene);
        GdiFlush();
        frame->releaseDC();
        drawn = std::move(frame);
    } catch (...) {
        // No copy: the window's thread draws the picture itself.
    }
}
