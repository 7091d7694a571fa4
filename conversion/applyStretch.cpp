#include <cmath>
#include <memory>
#include "conversion/Effect.h"
#include "foundation/Exception.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/DibConversion.h"
#include "imaging/PictureTooLarge.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

constexpr int TilePosition = 9;

// Whether the width is the side that the other follows.
bool widthLeads(int orientation, int width, int height)
{
    switch (orientation) {
    case 0:
        return true;
    case 1:
        return false;
    case 2:
        return width >= height; // the longer side
    default:
        return height >= width; // the shorter side
    }
}

double sideFactor(const AppSetting& setting)
{
    switch (setting.resizeAdjust) {
    case 2:
        return 1;
    case 3:
        return 1.6;
    case 4:
        return std::sqrt(2.0);
    default:
        return setting.resizeScale.toDouble();
    }
}

// The target size from the settings and the picture's size w x h, in whole pixels however large.
void targetSize(const AppSetting& setting, int w, int h, double& width, double& height)
{
    width = setting.resizeWidth;
    height = setting.resizeHeight;
    if (setting.resizeUnit == 1) {
        width = percentOf(w, setting.resizeWidthPer);
        height = percentOf(h, setting.resizeHeightPer);
    }
    if (setting.resizeAdjust < 0 || setting.resizeAdjust > 5)
        throw Exception(ErrorCode::InvalidState);
    if (setting.resizeAdjust == 0)
        return;
    bool byWidth = widthLeads(setting.resizeOrientation, w, h);
    if (setting.resizeAdjust == 1) {
        if (byWidth)
            height = std::trunc(h * width / w);
        else
            width = std::trunc(w * height / h);
        return;
    }
    double factor = sideFactor(setting);
    if (byWidth)
        height = std::trunc(width * factor);
    else
        width = std::trunc(height * factor);
}

// Scaled through a Dib: the result is opaque.
Gdiplus::Bitmap* resizedThroughDib(Gdiplus::Bitmap* bitmap, int width, int height)
{
    std::unique_ptr<Dib> dib(gdiplusBitmapToDib(bitmap));
    if (!dib || !dib->resize(width, height))
        return nullptr;
    return dibToGdiplusBitmap(*dib, false);
}

Gdiplus::Bitmap* stretched(const AppSetting& setting, Gdiplus::Bitmap* bitmap, int width, int height)
{
    switch (setting.resizeInterpolation) {
    case 0:
        return resizedThroughDib(bitmap, width, height);
    case 2:
        return resizeBitmap(bitmap, width, height, Gdiplus::InterpolationModeHighQuality);
    default:
        return resizeBitmap(bitmap, width, height, Gdiplus::InterpolationModeDefault);
    }
}

// The canvas covered with copies of the picture from the top-left, across and down. Each copy is drawn once:
// a second draw over the first would show where the picture is not opaque.
Gdiplus::Bitmap* tiled(Gdiplus::Bitmap* bitmap, int width, int height, Gdiplus::ARGB background)
{
    std::unique_ptr<Gdiplus::Bitmap> canvas(createBitmap(width, height));
    if (!canvas)
        return nullptr;
    INT w = static_cast<INT>(bitmap->GetWidth());
    INT h = static_cast<INT>(bitmap->GetHeight());
    Gdiplus::Graphics graphics(canvas.get());
    if (graphics.Clear(Gdiplus::Color(background)) != Gdiplus::Ok || w <= 0 || h <= 0)
        return nullptr;
    for (INT y = 0; y < height; y += h) {
        for (INT x = 0; x < width; x += w) {
            if (graphics.DrawImage(bitmap, x, y, w, h) != Gdiplus::Ok)
                return nullptr;
        }
    }
    return canvas.release();
}

Gdiplus::Bitmap* onCanvas(const AppSetting& setting, Gdiplus::Bitmap* bitmap, int width, int height)
{
    Gdiplus::ARGB background = argbOf(setting.resizeBackColor, setting.resizeBackColorTransparent);
    int position = setting.resizeRenderPosition;
    if (position == TilePosition)
        return tiled(bitmap, width, height, background);
    return placeOnCanvas(bitmap, width, height, background, position % 3, position / 3);
}

} // namespace

StepResult applyStretch(Gdiplus::Bitmap*& bitmap)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.resizeEnable)
        return StepNothing;
    double width = 0;
    double height = 0;
    targetSize(setting, static_cast<int>(bitmap->GetWidth()), static_cast<int>(bitmap->GetHeight()), width, height);
    PictureTooLarge::throwIfBeyondLimit(width, height);
    auto across = static_cast<int>(width);
    auto down = static_cast<int>(height);
    if (setting.resizeStretch)
        return replacePicture(bitmap, stretched(setting, bitmap, across, down));
    return replacePicture(bitmap, onCanvas(setting, bitmap, across, down));
}
