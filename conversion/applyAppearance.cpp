#include <memory>
#include "conversion/Effect.h"
#include "conversion/Rgn.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/PictureTooLarge.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

enum AppearanceShape {
    RoundedCorners = 0,
    Circle = 1,
    Frame = 2,
};

// The picture's rectangle less the rounded rectangle that fills it: its four corners.
bool cornersRegion(const AppSetting& setting, int width, int height, Rgn& region)
{
    Rgn rounded;
    return region.setRect(0, 0, width, height) &&
           rounded.setRoundRect(width + 1, height + 1, setting.appearanceEllipseWidth,
                                setting.appearanceEllipseHeight) &&
           region.xorWith(rounded);
}

// The picture's rectangle less the largest circle centred in it.
bool outsideCircleRegion(int width, int height, Rgn& region)
{
    int diameter = width < height ? width : height;
    Rgn circle;
    return region.setRect(0, 0, width, height) && circle.setRoundRect(diameter + 1, diameter + 1, diameter, diameter) &&
           OffsetRgn(circle.handle(), (width - diameter) / 2, (height - diameter) / 2) != ERROR &&
           region.xorWith(circle);
}

bool fillRegion(Gdiplus::Bitmap* bitmap, const Rgn& region, COLORREF color)
{
    Gdiplus::Region area(region.handle());
    Gdiplus::SolidBrush brush(Gdiplus::Color(argbOf(color, false)));
    Gdiplus::Graphics graphics(bitmap);
    return area.GetLastStatus() == Gdiplus::Ok && brush.GetLastStatus() == Gdiplus::Ok &&
           graphics.GetLastStatus() == Gdiplus::Ok && graphics.FillRegion(&brush, &area) == Gdiplus::Ok;
}

// A transparent border of the frame's size around the picture, painted in the colour.
Gdiplus::Bitmap* framed(const AppSetting& setting, Gdiplus::Bitmap* bitmap, int width, int height)
{
    int frameWidth = setting.appearanceFrameWidth;
    int frameHeight = setting.appearanceFrameHeight;
    PictureTooLarge::throwIfBeyondLimit(width + 2.0 * frameWidth, height + 2.0 * frameHeight);
    std::unique_ptr<Gdiplus::Bitmap> canvas(
        placeOnCanvas(bitmap, width + 2 * frameWidth, height + 2 * frameHeight, 0x00000000, 1, 1));
    Rgn border;
    Rgn inside;
    if (!canvas || !border.setRect(0, 0, width + 2 * frameWidth, height + 2 * frameHeight) ||
        !inside.setRect(frameWidth, frameHeight, frameWidth + width, frameHeight + height) ||
        !border.xorWith(inside) || !fillRegion(canvas.get(), border, setting.appearanceBackColor))
        return nullptr;
    return canvas.release();
}

} // namespace

StepResult applyAppearance(Gdiplus::Bitmap*& bitmap)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.appearanceEnable)
        return StepNothing;
    int width = static_cast<int>(bitmap->GetWidth());
    int height = static_cast<int>(bitmap->GetHeight());
    Rgn outside;
    switch (setting.appearanceRgnType) {
    case RoundedCorners:
        if (!cornersRegion(setting, width, height, outside))
            return StepFailed;
        break;
    case Circle:
        if (!outsideCircleRegion(width, height, outside))
            return StepFailed;
        break;
    case Frame:
        return replacePicture(bitmap, framed(setting, bitmap, width, height));
    default:
        return StepFailed;
    }
    return fillRegion(bitmap, outside, setting.appearanceBackColor) ? StepChanged : StepFailed;
}
