#include "conversion/Effect.h"
#include "conversion/Transform.h"
#include "conversion/Trimming.h"
#include "imaging/BitmapLock.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

namespace {

struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

Margins configuredMargins(const AppSetting& setting, int width, int height)
{
    if (setting.trimmingUnit != 1)
        return {setting.trimmingLeft, setting.trimmingTop, setting.trimmingRight, setting.trimmingBottom};
    return {percentOf(width, setting.trimmingLeftPer), percentOf(height, setting.trimmingTopPer),
            percentOf(width, setting.trimmingRightPer), percentOf(height, setting.trimmingBottomPer)};
}

bool referenceColor(const AppSetting& setting, Gdiplus::Bitmap* bitmap, COLORREF& reference)
{
    if (setting.trimmingAssignScanColor) {
        reference = setting.trimmingScanColor;
        return true;
    }
    bool fromTopLeft = setting.trimmingScanLeft || setting.trimmingScanTop;
    INT x = fromTopLeft ? 0 : static_cast<INT>(bitmap->GetWidth()) - 1;
    INT y = fromTopLeft ? 0 : static_cast<INT>(bitmap->GetHeight()) - 1;
    Gdiplus::Color pixel;
    if (bitmap->GetPixel(x, y, &pixel) != Gdiplus::Ok)
        return false;
    reference = RGB(pixel.GetR(), pixel.GetG(), pixel.GetB());
    return true;
}

// The uniform border of the reference colour, less the space to be left around the content, on the sides
// that are to be scanned.
bool scannedMargins(const AppSetting& setting, Gdiplus::Bitmap* bitmap, Margins& margins)
{
    COLORREF reference = 0;
    if (!referenceColor(setting, bitmap, reference))
        return false;
    Margins counts;
    {
        BitmapLock lock(bitmap, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB);
        // The scan walks one block of whole rows.
        if (!lock.isLocked() || lock.data.Stride != lock.width() * 4)
            return false;
        if (!autoTrimScan(lock.pixels(0), lock.width(), lock.height(), reference, setting.trimmingOffset,
                          counts.left, counts.top, counts.right, counts.bottom))
            return false;
    }
    auto settle = [&](int count, bool scanned) {
        count -= setting.trimmingSpace > 0 ? setting.trimmingSpace : 0;
        return scanned && count > 0 ? count : 0;
    };
    margins.left = settle(counts.left, setting.trimmingScanLeft);
    margins.top = settle(counts.top, setting.trimmingScanTop);
    margins.right = settle(counts.right, setting.trimmingScanRight);
    margins.bottom = settle(counts.bottom, setting.trimmingScanBottom);
    return true;
}

} // namespace

StepResult applyTrimming(Gdiplus::Bitmap*& bitmap)
{
    const AppSetting& setting = getAppSetting();
    if (!bitmap || !setting.trimmingEnable)
        return StepNothing;
    Margins margins = configuredMargins(setting, static_cast<int>(bitmap->GetWidth()),
                                        static_cast<int>(bitmap->GetHeight()));
    if (setting.trimmingAutoScan && !scannedMargins(setting, bitmap, margins))
        return StepFailed;
    if (margins.left <= 0 && margins.top <= 0 && margins.right <= 0 && margins.bottom <= 0)
        return StepNothing;
    if (margins.left < 0 || margins.top < 0 || margins.right < 0 || margins.bottom < 0)
        margins = Margins();
    // Margins that leave no column or row are refused by the transform: the step then fails.
    Trimming cut(margins.left, margins.top, margins.right, margins.bottom);
    ImageConvert::Transform trimming(&cut, false);
    return replacePicture(bitmap, trimming.convert(bitmap, nullptr));
}
