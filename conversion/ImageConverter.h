#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "foundation/MaybeOwned.h"
#include "foundation/ObjectArray.h"
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapPtr.h"

class ICanceller;

namespace ImageConvert {

// Takes a GDI+ bitmap and returns a new 32-bit ARGB one, or null on failure; the input is never changed.
class ImageConverter {
public:
    virtual ~ImageConverter() = default;
    virtual Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) = 0;
};

// Runs its converters in order, each on the result of the one before; the first null ends the chain.
class ImageConverters : public ImageConverter {
public:
    // The array may own its converters; the chain owns the array when asked to.
    ImageConverters(ObjectArray<ImageConverter>* converters, bool ownsConverters)
        : converters(converters, ownsConverters)
    {
    }

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;

private:
    MaybeOwned<ObjectArray<ImageConverter>> converters;
};

// A two-colour mask: pixels of the colour of the top-left pixel white, all others black (or the reverse).
class Mask : public ImageConverter {
public:
    explicit Mask(bool inverted) : inverted(inverted) {}
    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override;

private:
    bool inverted;
};

// A bitmap that the in-place operations accept: a GDI+ bitmap in 32-bit ARGB.
bool isBitmap32(Gdiplus::Bitmap* bitmap);

// The adapters that run a filter they are given or lent over a 32-bit ARGB copy of the input: null when the
// copy or the change fails.
template <typename Filter>
class InPlaceConverter : public ImageConverter {
public:
    InPlaceConverter(Filter* filter, bool ownsFilter) : filter(filter, ownsFilter) {}

    Gdiplus::Bitmap* convert(Gdiplus::Bitmap* bitmap, ICanceller* canceller) override
    {
        BitmapPtr copy(copyBitmap32(bitmap));
        if (!copy || !applyInPlace(copy.get(), canceller))
            return nullptr;
        return copy.release();
    }
    // Changes a 32-bit ARGB bitmap in place.
    virtual bool applyInPlace(Gdiplus::Bitmap* bitmap, ICanceller* canceller) = 0;

protected:
    MaybeOwned<Filter> filter;
};

} // namespace ImageConvert
