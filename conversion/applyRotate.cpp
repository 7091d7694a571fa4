#include <memory>
#include "conversion/Effect.h"
#include "conversion/Transform.h"
#include "conversion/Turn.h"
#include "imaging/BitmapGeometry.h"
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

// Slanted sideways, then that result up and down.
Gdiplus::Bitmap* slanted(const AppSetting& setting, Gdiplus::Bitmap* bitmap)
{
    Gdiplus::ARGB background = argbOf(setting.rotateSlopeColor, setting.rotateSlopeColorTransparent);
    std::unique_ptr<Gdiplus::Bitmap> sideways(skewBitmap(background, setting.rotateAngleH.toDouble(), bitmap, false));
    if (!sideways)
        return nullptr;
    return skewBitmap(background, setting.rotateAngleV.toDouble(), sideways.get(), true);
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
        return rotateBitmap(bitmap,
                            argbOf(setting.rotateAssignAngleColor, setting.rotateAssignAngleColorTransparent),
                            setting.rotateAssignAngle.toDouble());
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
