#include "imaging/HdpFileGenerator.h"
#include <new>
#include "foundation/Exception.h"
#include "imaging/BitmapColors.h"
#include "imaging/BitmapCopy.h"
#include "imaging/QualitySearch.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/WicEncodeProperties.h"
#include "imaging/wicEncode.h"

namespace {

bool isKnownBitmap(Gdiplus::Bitmap* bitmap)
{
    return bitmap && bitmap->GetType() != Gdiplus::ImageTypeUnknown;
}

const GUID& containerOf(bool jpegContainer)
{
    return jpegContainer ? GUID_ContainerFormatJpeg : GUID_ContainerFormatWmp;
}

WIC::EncodeProperties optionsOf(int quality, bool lossless)
{
    WIC::EncodeProperties options;
    if (quality >= 1 && quality <= 100)
        options.setImageQuality(static_cast<float>(quality) / 100.0f);
    if (lossless)
        options.setLossless(true);
    return options;
}

} // namespace

int HdpFileGenerator::setQuality(int value)
{
    if (value < 1 || value > 100)
        return -1;
    int previous = quality;
    quality = value;
    return previous;
}

// A picture drawn through WIC would otherwise come out at the imaging component's default resolution.
void HdpFileGenerator::resolution(Gdiplus::Bitmap* bitmap, double& x, double& y) const
{
    x = dpiX;
    y = dpiY;
    if (x > 0 && y > 0)
        return;
    x = bitmap->GetHorizontalResolution();
    y = bitmap->GetVerticalResolution();
}

bool HdpFileGenerator::save(const wchar_t* path, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                            bool jpegContainer)
{
    if (!path || !isKnownBitmap(bitmap))
        return false;
    return writeThroughTemporaryFile(path,
                                     [&](IStream* file) { return saveInto(file, bitmap, metadata, jpegContainer); });
}

bool HdpFileGenerator::saveInto(IStream* file, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                                bool jpegContainer)
{
    if (!file || !isKnownBitmap(bitmap))
        return false;
    try {
        double x, y;
        resolution(bitmap, x, y);
        wicSaveGdiplusBitmap(file, containerOf(jpegContainer), hdpPixelFormat(bitmap), bitmap,
                             optionsOf(quality, lossless), metadata, x, y);
        return true;
    } catch (const Exception&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

IStream* HdpFileGenerator::saveToStream(Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                                        bool jpegContainer)
{
    if (!isKnownBitmap(bitmap))
        return nullptr;
    try {
        double x, y;
        resolution(bitmap, x, y);
        return wicEncodeGdiplusBitmapToStream(containerOf(jpegContainer), hdpPixelFormat(bitmap), bitmap,
                                              optionsOf(quality, lossless), metadata, x, y);
    } catch (const Exception&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

GUID hdpPixelFormat(Gdiplus::Bitmap* bitmap)
{
    int bits = bitsPerPixel(bitmap->GetPixelFormat());
    if (bits == 64)
        return GUID_WICPixelFormat64bppPBGRA;
    if (bits == 48)
        return GUID_WICPixelFormat48bppRGB;
    if (bits == 32)
        return GUID_WICPixelFormat32bppPBGRA;
    bool found = false;
    if (bits < 24 && hasTransparency(bitmap, found) && found)
        return GUID_WICPixelFormat32bppPBGRA;
    return GUID_WICPixelFormat24bppBGR;
}

ULONGLONG measureHdpEncodedSize(Gdiplus::Bitmap* bitmap, int quality, IWICMetadataBlockReader* metadata,
                                bool jpegContainer)
{
    if (quality < 1 || quality > 100)
        return 0;
    HdpFileGenerator generator;
    generator.setQuality(quality);
    IStream* stream = generator.saveToStream(bitmap, metadata, jpegContainer);
    if (!stream)
        return 0;
    STATSTG stat = {};
    HRESULT result = stream->Stat(&stat, STATFLAG_NONAME);
    stream->Release();
    return SUCCEEDED(result) ? stat.cbSize.QuadPart : 0;
}

int findHdpQualityForFileSize(Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata, ULONGLONG targetSize,
                              bool jpegContainer, ICanceller* canceller)
{
    return findQualityForSize(
        targetSize, [&](int quality) { return measureHdpEncodedSize(bitmap, quality, metadata, jpegContainer); },
        canceller);
}
