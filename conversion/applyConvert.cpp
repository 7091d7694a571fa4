#include "conversion/ColorFilter.h"
#include "conversion/ColorValue.h"
#include "conversion/Effect.h"
#include "conversion/EffectTable.h"
#include "conversion/Posterize.h"
#include "foundation/Exception.h"
#include "imaging/BitmapCopy.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

constexpr int AllLevels = 256;

StepResult applyPreset(Gdiplus::Bitmap*& bitmap, EffectPreset index, ICanceller* canceller)
{
    try {
        buildEffectTable();
        ImageConvert::ImageConverter* preset =
            effectPresetConverter(index > EffectTable::LastPreset ? EffectTable::LastPreset : index);
        if (!preset)
            return StepFailed;
        return replacePicture(bitmap, preset->convert(bitmap, canceller));
    } catch (const Exception&) {
        return StepFailed;
    }
}

// The in-place filters take 32-bit ARGB pictures only.
bool ensureBitmap32(Gdiplus::Bitmap*& bitmap)
{
    return ImageConvert::isBitmap32(bitmap) || replacePicture(bitmap, copyBitmap32(bitmap)) == StepChanged;
}

bool applyInPlace(IColorFilter& filter, Gdiplus::Bitmap* bitmap, ICanceller* canceller)
{
    return ImageConvert::ColorFilter(&filter, false).applyInPlace(bitmap, canceller);
}

} // namespace

StepResult applyConvert(Gdiplus::Bitmap*& bitmap, ICanceller* canceller)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.effectEnable)
        return StepNothing;
    return applyColorFilter(bitmap, setting.effectBright, setting.effectFilter, setting.effectPosterization, canceller);
}

StepResult applyColorFilter(Gdiplus::Bitmap*& bitmap, int bright, EffectPreset index, int levels,
                            ICanceller* canceller)
{
    if (!bitmap)
        return StepNothing;
    if (index < 0)
        index = 0;
    if (bright == 0 && index == 0 && levels >= AllLevels)
        return StepNothing;
    if (index > 0 && applyPreset(bitmap, index, canceller) == StepFailed)
        return StepFailed;
    if ((bright != 0 || levels < AllLevels) && !ensureBitmap32(bitmap))
        return StepFailed;
    if (bright != 0) {
        ColorValue offsets;
        offsets.setRgb(bright, bright, bright);
        if (!applyInPlace(offsets, bitmap, canceller))
            return StepFailed;
    }
    if (levels < AllLevels) {
        Posterize posterize(levels);
        if (!applyInPlace(posterize, bitmap, canceller))
            return StepFailed;
    }
    return StepChanged;
}
