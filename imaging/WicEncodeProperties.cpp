#include "imaging/WicEncodeProperties.h"
#include "foundation/Exception.h"
#include "foundation/Variant.h"
#include "imaging/WicBitmapEncoder.h"

namespace WIC {

namespace {

float checkedFraction(float fraction)
{
    if (!(fraction >= 0.0f && fraction <= 1.0f))
        Exception::throwInvalidArgument();
    return fraction;
}

// A variant of the type, filled by the caller, written and cleared again.
template <typename Fill>
void writeOption(BitmapFrameEncode& frame, const wchar_t* name, VARTYPE type, Fill fill)
{
    Variant value;
    VARIANT* raw = value.out();
    raw->vt = type;
    fill(*raw);
    frame.writeProperty(name, type, value.get());
}

} // namespace

void EncodeProperties::setLossless(bool value)
{
    lossless = value;
    flags |= Lossless;
}

void EncodeProperties::setImageQuality(float fraction)
{
    imageQuality = checkedFraction(fraction);
    flags |= ImageQuality;
}

void EncodeProperties::setCompressionQuality(float fraction)
{
    compressionQuality = checkedFraction(fraction);
    flags |= CompressionQuality;
}

void EncodeProperties::setBitmapTransform(BYTE value)
{
    bitmapTransform = value;
    flags |= BitmapTransform;
}

void EncodeProperties::setTiffCompressionMethod(BYTE value)
{
    tiffCompressionMethod = value;
    flags |= TiffCompressionMethod;
}

void EncodeProperties::applyTo(BitmapFrameEncode* frame) const
{
    if (!frame)
        Exception::throwInvalidArgument();
    if (flags & Lossless) {
        VARIANT_BOOL value = lossless ? VARIANT_TRUE : VARIANT_FALSE;
        writeOption(*frame, L"Lossless", VT_BOOL, [&](VARIANT& v) { v.boolVal = value; });
    }
    if (flags & ImageQuality)
        writeOption(*frame, L"ImageQuality", VT_R4, [&](VARIANT& v) { v.fltVal = imageQuality; });
    if (flags & CompressionQuality)
        writeOption(*frame, L"CompressionQuality", VT_R4, [&](VARIANT& v) { v.fltVal = compressionQuality; });
    if (flags & BitmapTransform)
        writeOption(*frame, L"BitmapTransform", VT_UI1, [&](VARIANT& v) { v.bVal = bitmapTransform; });
    if (flags & TiffCompressionMethod)
        writeOption(*frame, L"TiffCompressionMethod", VT_UI1,
                    [&](VARIANT& v) { v.bVal = tiffCompressionMethod; });
}

} // namespace WIC
