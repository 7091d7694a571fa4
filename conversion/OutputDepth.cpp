#include "conversion/OutputDepth.h"
#include "imaging/BitmapColors.h"
#include "imaging/BitDepth.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"

namespace {

DepthChoice keep()
{
    return DepthChoice();
}

DepthChoice reduceTo(int depth, int palette = ReduceMedianCutGrouped, bool errorDiffusion = false)
{
    DepthChoice choice;
    choice.convert = true;
    choice.depth = depth;
    choice.palette = palette;
    choice.errorDiffusion = errorDiffusion;
    return choice;
}

bool hasTransparentPixel(Gdiplus::Bitmap* picture)
{
    bool found = false;
    return hasTransparency(picture, found) && found;
}

// A picture of 32 bits or one with transparency keeps its pixels; any other goes back to the source's depth,
// a PNG's 2 bits, which no bitmap holds, to 4.
DepthChoice generalRule(WORD depth, Gdiplus::Bitmap* picture)
{
    if (depth == 0 || depth >= 32 || hasTransparentPixel(picture))
        return keep();
    return reduceTo(depth == 2 ? 4 : depth);
}

// An own palette is computed, with or without diffusion, unless the standard one is asked for.
DepthChoice indexed(int depth, int standardPalette, bool errorDiffusion)
{
    if (standardPalette == 1)
        return reduceTo(depth, ReduceDefaultPalette, errorDiffusion);
    return reduceTo(depth, errorDiffusion ? ReduceMedianCutExact : ReduceMedianCutGrouped, errorDiffusion);
}

DepthChoice forBitmap(const AppSetting& setting)
{
    switch (setting.bitmapBpp) {
    case 0:
        return reduceTo(24, ReduceDefaultPalette);
    case 1:
        return indexed(8, setting.bitmapPal8, setting.bitmapErrorDiffusion);
    case 2:
        return indexed(4, setting.bitmapPal4, setting.bitmapErrorDiffusion);
    case 3:
        return reduceTo(1, ReduceDefaultPalette, setting.bitmapErrorDiffusion);
    default:
        return keep();
    }
}

} // namespace

DepthChoice chooseOutputDepth(int format, const AppSetting& setting, WORD sourceDepth, Gdiplus::Bitmap* picture)
{
    switch (format) {
    case OutputFormat::Jpeg:
        return keep();
    case OutputFormat::Gif:
        return reduceTo(8);
    case OutputFormat::Tiff:
        if (setting.isBilevelTiffCompression())
            return reduceTo(1, ReduceDefaultPalette, setting.tiffErrorDiffusion);
        if (setting.tiffEnable && setting.tiffTransparent)
            return keep();
        break;
    case OutputFormat::Png:
        if (setting.pngEnable && sourceDepth > 8)
            return keep();
        break;
    case OutputFormat::Bitmap:
        if (setting.bitmapEnable)
            return forBitmap(setting);
        break;
    case OutputFormat::Wdp:
    case OutputFormat::Hdp:
        if (sourceDepth >= 32 || hasTransparentPixel(picture))
            return keep();
        return reduceTo(24);
    default:
        break;
    }
    return generalRule(sourceDepth, picture);
}

StepResult prepareForOutputFormat(int format, Gdiplus::Bitmap*& picture, WORD sourceDepth, ICanceller* canceller)
{
    if (!picture)
        return StepNothing;
    DepthChoice choice = chooseOutputDepth(format, getAppSetting(), sourceDepth, picture);
    if (!choice.convert)
        return StepNothing;
    return replacePicture(picture, gdipConvertBitDepth(picture, choice.depth, choice.palette,
                                                       choice.errorDiffusion, canceller));
}
