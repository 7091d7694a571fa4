#include <memory>
#include "conversion/Effect.h"
#include "conversion/Transform.h"
#include "conversion/Turn.h"
#include "imaging/BitmapGeometry.h"
#include "imaging/PictureTooLarge.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

enum RotateAssign {
    QuarterClockwise = 0,
    HalfTurn = 1,
    QuarterAnticlockwise = 2,
    FreeAngle = 3,
    Slant = 4,
};

Gdiplus::Bitmap* turned(Gdiplus::Bitmap* bitmap, int kind)
{
    Turn turn(kind);
    return ImageConvert::Transform(&turn, false).convert(bitmap, nullptr);
}

// Both slants must fit before the first is made. An angle out of range is left to the slant, which fails.
void requireSlantsFit(const AppSetting& setting, Gdiplus::Bitmap* bitmap)
{
    double width = 0;
    double height = 0;
    double slantedWidth = 0;
    double slantedHeight = 0;
    if (!skewedSize(bitmap->GetWidth(), bitmap->GetHeight(), setting.rotateAngleH.toDouble(), false, width, height))
        return;
    PictureTooLarge::throwIfBeyondLimit(width, height);
    if (skewedSize(width, height, setting.rotateAngleV.toDouble(), true, slantedWidth, slantedHeight))
        PictureTooLarge::throwIfBeyondLimit(slantedWidth, slantedHeight);
}

// Slanted sideways, then that result up and down.
Gdiplus::Bitmap* slanted(const AppSetting& setting, Gdiplus::Bitmap* bitmap)
{
    requireSlantsFit(setting, bitmap);
    Gdiplus::ARGB background = argbOf(setting.rotateSlopeColor, setting.rotateSlopeColorTransparent);
    std::unique_ptr<Gdiplus::Bitmap> sideways(skewBitmap(background, setting.rotateAngleH.toDouble(), bitmap, false));
    if (!sideways)
        return nullptr;
    return skewBitmap(background, setting.rotateAngleV.toDouble(), sideways.get(), true);
}

Gdiplus::Bitmap* turnedFreely(const AppSetting& setting, Gdiplus::Bitmap* bitmap)
{
    double angle = setting.rotateAssignAngle.toDouble();
    int width = 0;
    int height = 0;
    Gdiplus::Point corners[3];
    rotatedBounds(static_cast<int>(bitmap->GetWidth()), static_cast<int>(bitmap->GetHeight()), angle, width, height,
                  corners);
    PictureTooLarge::throwIfBeyondLimit(width, height);
    return rotateBitmap(bitmap, argbOf(setting.rotateAssignAngleColor, setting.rotateAssignAngleColorTransparent),
                        angle);
}

Gdiplus::Bitmap* rotated(const AppSetting& setting, Gdiplus::Bitmap* bitmap)
{
    switch (setting.rotateAssign) {
    case QuarterClockwise:
        return turned(bitmap, Turn::Clockwise);
    case HalfTurn:
        return turned(bitmap, Turn::HalfTurn);
    case QuarterAnticlockwise:
        return turned(bitmap, Turn::Anticlockwise);
    case FreeAngle:
        return turnedFreely(setting, bitmap);
    case Slant:
        return slanted(setting, bitmap);
    default:
        return nullptr;
    }
}

} // namespace

StepResult applyRotate(Gdiplus::Bitmap*& bitmap)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.rotateEnable)
        return StepNothing;
    return replacePicture(bitmap, rotated(setting, bitmap));
}
