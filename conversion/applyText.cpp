#include <cmath>
#include "conversion/Effect.h"
#include "conversion/Text.h"
#include "imaging/PictureTooLarge.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

void configure(Text& text, const AppSetting& setting)
{
    text = setting.textText;
    text.setFontSize(setting.textFontSize);
    text.setFontWeight(setting.textFontWeight);
    text.setFontFaceOf(setting.textFontFace);
    text.setItalic(setting.textFontItalic);
    text.setUnderline(setting.textFontUnderline);
    text.setStrikeOut(setting.textFontStrikeOut);
    text.setCharSet(setting.textFontCharSet);
    text.setColor(setting.textColor);
    text.setBackColor(setting.textBackColor);
    text.setNoBackColor(setting.textNoBackColor);
}

// Where the text box's upper-left corner goes: one of nine places on the picture, moved by the offsets.
Gdiplus::PointF boxPlace(const AppSetting& setting, Gdiplus::REAL pictureWidth, Gdiplus::REAL pictureHeight,
                         const Gdiplus::RectF& box)
{
    Gdiplus::REAL across[3] = {0, (pictureWidth - box.Width) * 0.5f, pictureWidth - box.Width};
    Gdiplus::REAL down[3] = {0, (pictureHeight - box.Height) * 0.5f, pictureHeight - box.Height};
    int position = setting.textPosition < 0 || setting.textPosition > 8 ? 0 : setting.textPosition;
    return Gdiplus::PointF(across[position % 3] + setting.textOffsetX, down[position / 3] + setting.textOffsetY);
}

// The text bitmap drawn onto the picture at the place, turned by the angle about its own centre.
bool drawTurned(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& textBitmap, Gdiplus::PointF place,
                const Gdiplus::RectF& box, Gdiplus::REAL angle)
{
    Gdiplus::REAL halfWidth = box.Width / 2;
    Gdiplus::REAL halfHeight = box.Height / 2;
    return graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault) == Gdiplus::Ok &&
           graphics.TranslateTransform(place.X, place.Y) == Gdiplus::Ok &&
           graphics.TranslateTransform(halfWidth, halfHeight) == Gdiplus::Ok &&
           graphics.RotateTransform(angle) == Gdiplus::Ok &&
           graphics.TranslateTransform(-halfWidth, -halfHeight) == Gdiplus::Ok &&
           graphics.DrawImage(&textBitmap, 0, 0, static_cast<INT>(textBitmap.GetWidth()),
                              static_cast<INT>(textBitmap.GetHeight())) == Gdiplus::Ok;
}

} // namespace

StepResult applyText(Gdiplus::Bitmap*& bitmap)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.textEnable || setting.textText.isEmpty())
        return StepNothing;
    Text text;
    configure(text, setting);
    Gdiplus::StringFormat format(Text::layoutFlagsFor(setting.textFontFace));
    Gdiplus::RectF box;
    if (format.GetLastStatus() != Gdiplus::Ok || !text.measure(bitmap, &format, box))
        return StepFailed;

    // Whole pixels that hold the whole box.
    PictureTooLarge::throwIfBeyondLimit(std::ceil(box.Width), std::ceil(box.Height));
    Gdiplus::Graphics graphics(bitmap);
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return StepFailed;
    Gdiplus::Bitmap textBitmap(static_cast<INT>(std::ceil(box.Width)), static_cast<INT>(std::ceil(box.Height)),
                               &graphics);
    if (textBitmap.GetLastStatus() != Gdiplus::Ok ||
        !text.draw(&textBitmap, &format, static_cast<BYTE>(setting.textColorAlpha), box))
        return StepFailed;
    Gdiplus::PointF place = boxPlace(setting, static_cast<Gdiplus::REAL>(bitmap->GetWidth()),
                                     static_cast<Gdiplus::REAL>(bitmap->GetHeight()), box);
    if (!drawTurned(graphics, textBitmap, place, box, static_cast<Gdiplus::REAL>(setting.textAngle.toDouble())))
        return StepFailed;
    return StepChanged;
}
