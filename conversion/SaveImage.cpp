#include "conversion/SaveImage.h"
#include <functional>
#include <memory>
#include <vector>
#include "conversion/conversionStrings.h"
#include "foundation/Exception.h"
#include "foundation/wstringArray.h"
#include "imaging/BitmapColors.h"
#include "imaging/BitmapPtr.h"
#include "imaging/ComStream.h"
#include "imaging/DibConversion.h"
#include "imaging/HdpFileGenerator.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/TiffFileGenerator.h"
#include "imaging/gdipImageIO.h"
#include "imaging/gifBlocks.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "settings/ProgramResources.h"

namespace {

constexpr ULONGLONG BytesPerKilobyte = 1024;

// Where the picture goes: a new stream for the holder, or the file's stream.
struct Output {
    IStream* file;
    ComPtr<IStream>* holder;

    bool toStream() const { return holder != nullptr; }
    bool store(IStream* stream) const
    {
        if (!stream)
            return false;
        holder->attach(stream);
        return true;
    }
};

bool isZero(const Decimal& value)
{
    return value.compare(Decimal(0)) == VARCMP_EQ;
}

bool saveWithGdiplus(const Output& output, const wchar_t* mimeType, Gdiplus::Bitmap* bitmap)
{
    if (output.toStream())
        return output.store(gdipEncodeToStream(mimeType, bitmap, nullptr));
    return gdipSaveToStream(output.file, mimeType, bitmap, nullptr);
}

// Puts right in an encoded file what the platform's encoder leaves wrong; false when that cannot be done.
using Repair = std::function<bool(std::vector<BYTE>&)>;

// Encoded in memory and put right before anything is written, so that a file that cannot be put right is no
// file at all.
bool saveRepaired(const Output& output, const wchar_t* mimeType, Gdiplus::Bitmap* bitmap, const Repair& repair)
{
    std::vector<BYTE> bytes;
    if (!gdipEncodeToBytes(mimeType, bitmap, bytes) || !repair(bytes))
        return false;
    if (output.toStream())
        return output.store(createMemoryStream(bytes.data(), static_cast<UINT>(bytes.size())));
    ULONG size = static_cast<ULONG>(bytes.size());
    ULONG written = 0;
    return SUCCEEDED(output.file->Write(bytes.data(), size, &written)) && written == size;
}

// The configured colour as the picture's depth and palette can show it, or the picture's own top-left colour:
// both read back from the top-left pixel of a Dib copy.
bool transparentColorOf(Gdiplus::Bitmap* bitmap, bool assign, COLORREF configured, COLORREF& color)
{
    std::unique_ptr<Dib> dib(gdiplusBitmapToDib(bitmap));
    if (!dib)
        return false;
    HDC dc = dib->getDC();
    if (assign)
        SetPixel(dc, 0, 0, configured);
    color = GetPixel(dc, 0, 0);
    dib->releaseDC();
    return color != CLR_INVALID;
}

// A copy in which the transparent colour (told in `chosen` when given) has the alpha. It keeps the picture's
// resolution, which the copy would otherwise lose.
Gdiplus::Bitmap* transparentCopy(Gdiplus::Bitmap* bitmap, bool assign, COLORREF configured, int alpha,
                                 COLORREF* chosen = nullptr)
{
    COLORREF color;
    if (!transparentColorOf(bitmap, assign, configured, color))
        return nullptr;
    BitmapPtr copy(applyTransparentColor(bitmap, color, alpha));
    if (!copy || copy->SetResolution(bitmap->GetHorizontalResolution(), bitmap->GetVerticalResolution()) !=
                     Gdiplus::Ok)
        return nullptr;
    if (chosen)
        *chosen = color;
    return copy.release();
}

bool saveJpegThroughWic(const Output& output, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                        ICanceller* canceller, const Decimal& dpiX, const Decimal& dpiY, const AppSetting& setting)
{
    HdpFileGenerator generator;
    generator.dpiX = dpiX.toDouble();
    generator.dpiY = dpiY.toDouble();
    IWICMetadataBlockReader* carried = setting.jpegExif ? metadata : nullptr;
    if (setting.jpegAssign == 1) {
        ULONGLONG target = static_cast<ULONGLONG>(setting.jpegAssignFileSize) * BytesPerKilobyte;
        int quality = findHdpQualityForFileSize(bitmap, carried, target, true, canceller);
        if (quality < 1)
            return false;
        generator.setQuality(quality);
    } else {
        generator.setQuality(setting.jpegQuality);
    }
    if (output.toStream())
        return output.store(generator.saveToStream(bitmap, carried, true));
    return generator.saveInto(output.file, bitmap, carried, true);
}

// The encoder may leave the transparent entry of the palette unmarked.
bool saveGif(const Output& output, Gdiplus::Bitmap* bitmap, const AppSetting& setting)
{
    COLORREF color;
    BitmapPtr copy(transparentCopy(bitmap, setting.gifAssignTransparentColor, setting.gifTransparentColor, 0, &color));
    return copy && saveRepaired(output, L"image/gif", copy.get(),
                                [color](std::vector<BYTE>& gif) { return markGifTransparentColor(gif, color); });
}

bool saveTiff(const Output& output, Gdiplus::Bitmap* bitmap, const Decimal& dpiX, const Decimal& dpiY,
              const AppSetting& setting)
{
    TiffFileGenerator generator(setting.tiffCompressionEncoderValue());
    BitmapPtr copy;
    Gdiplus::Bitmap* picture = bitmap;
    if (setting.tiffTransparent) {
        copy.reset(transparentCopy(bitmap, setting.tiffAssignTransparentColor, setting.tiffTransparentColor,
                                   setting.tiffAlpha));
        if (!copy || (!output.toStream() && !setImageResolution(copy.get(), OutputFormat::Tiff, dpiX, dpiY)))
            return false;
        picture = copy.get();
    }
    if (output.toStream())
        return output.store(generator.encode(picture));
    return generator.saveInto(output.file, picture);
}

bool savePng(const Output& output, Gdiplus::Bitmap* bitmap, const Decimal& dpiX, const Decimal& dpiY,
             const AppSetting& setting)
{
    BitmapPtr copy(
        transparentCopy(bitmap, setting.pngAssignTransparentColor, setting.pngTransparentColor, setting.pngAlpha));
    if (!copy || (!output.toStream() && !setImageResolution(copy.get(), OutputFormat::Png, dpiX, dpiY)))
        return false;
    return saveWithGdiplus(output, L"image/png", copy.get());
}

bool saveHdPhoto(const Output& output, Gdiplus::Bitmap* bitmap, ICanceller* canceller, const Decimal& dpiX,
                 const Decimal& dpiY, const AppSetting& setting)
{
    HdpFileGenerator generator;
    if (setting.hdpEnable && setting.hdpLossless) {
        generator.lossless = true;
    } else if (setting.hdpEnable) {
        int quality = setting.hdpQuality;
        if (setting.hdpAssign == 1) {
            ULONGLONG target = static_cast<ULONGLONG>(setting.hdpAssignFileSize) * BytesPerKilobyte;
            quality = findHdpQualityForFileSize(bitmap, nullptr, target, false, canceller);
        }
        if (quality < 1)
            return false;
        generator.setQuality(quality);
    }
    if (output.toStream())
        return output.store(generator.saveToStream(bitmap, nullptr, false));
    generator.dpiX = dpiX.toDouble();
    generator.dpiY = dpiY.toDouble();
    return generator.saveInto(output.file, bitmap, nullptr, false);
}

bool setExifResolution(Gdiplus::Bitmap* bitmap, int dpiX, int dpiY)
{
    WORD unit = 2; // inches
    ULONG x[2] = {static_cast<ULONG>(dpiX), 1};
    ULONG y[2] = {static_cast<ULONG>(dpiY), 1};
    Gdiplus::PropertyItem items[3] = {
        {PropertyTagResolutionUnit, sizeof(unit), PropertyTagTypeShort, &unit},
        {PropertyTagXResolution, sizeof(x), PropertyTagTypeRational, x},
        {PropertyTagYResolution, sizeof(y), PropertyTagTypeRational, y},
    };
    for (const Gdiplus::PropertyItem& item : items)
        if (bitmap->SetPropertyItem(&item) != Gdiplus::Ok)
            return false;
    return true;
}

} // namespace

wstring outputMimeType(int format)
{
    wstringArray types;
    types.splitResourceString(programResourceModule(), IDS_MIME_TYPES, L" ");
    if (format < 0 || format >= types.count()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        Exception::throwLastError();
    }
    return types.at(format);
}

bool setImageResolution(Gdiplus::Bitmap* bitmap, int format, const Decimal& dpiX, const Decimal& dpiY)
{
    if (isZero(dpiX) || isZero(dpiY))
        return true;
    if (!bitmap)
        return false;
    if (format == OutputFormat::Jpeg) {
        int x = dpiX.toIntRounded();
        int y = dpiY.toIntRounded();
        // The EXIF items alone leave the JFIF header at the picture's old resolution (and some GDI+ builds
        // keep no items at all), so the bitmap gets the same whole values.
        return setExifResolution(bitmap, x, y) &&
               bitmap->SetResolution(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y)) == Gdiplus::Ok;
    }
    return bitmap->SetResolution(static_cast<Gdiplus::REAL>(dpiX.toDouble()),
                                 static_cast<Gdiplus::REAL>(dpiY.toDouble())) == Gdiplus::Ok;
}

namespace {

bool savePicture(const Output& output, int format, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                 ICanceller* canceller, const Decimal& dpiX, const Decimal& dpiY)
{
    if (!output.toStream() && !setImageResolution(bitmap, format, dpiX, dpiY))
        return false;
    wstring mimeType = outputMimeType(format);
    if (!bitmap)
        return false;
    const AppSetting& setting = getAppSetting();
    switch (format) {
    case OutputFormat::Jpeg:
        if (setting.jpegEnable)
            return saveJpegThroughWic(output, bitmap, metadata, canceller, dpiX, dpiY, setting);
        break;
    case OutputFormat::Gif:
        if (setting.gifEnable)
            return saveGif(output, bitmap, setting);
        break;
    case OutputFormat::Tiff:
        if (setting.tiffEnable)
            return saveTiff(output, bitmap, dpiX, dpiY, setting);
        break;
    case OutputFormat::Png:
        if (setting.pngEnable)
            return savePng(output, bitmap, dpiX, dpiY, setting);
        break;
    case OutputFormat::Wdp:
    case OutputFormat::Hdp:
        return saveHdPhoto(output, bitmap, canceller, dpiX, dpiY, setting);
    case OutputFormat::Bitmap:
        return saveRepaired(output, mimeType.buffer(), bitmap, correctBmpFileSize);
    default:
        break;
    }
    return saveWithGdiplus(output, mimeType.buffer(), bitmap);
}

} // namespace

bool saveImageFile(const wchar_t* path, ComPtr<IStream>* holder, int format, Gdiplus::Bitmap* bitmap,
                   IWICMetadataBlockReader* metadata, ICanceller* canceller, const Decimal& dpiX, const Decimal& dpiY)
{
    if (holder)
        return savePicture(Output{nullptr, holder}, format, bitmap, metadata, canceller, dpiX, dpiY);
    if (!path)
        return false;
    return writeThroughTemporaryFile(path, [&](IStream* file) {
        return savePicture(Output{file, nullptr}, format, bitmap, metadata, canceller, dpiX, dpiY);
    });
}

bool usesSourceResolution(const Decimal& commandDpiX, const Decimal& commandDpiY)
{
    return (isZero(commandDpiX) || isZero(commandDpiY)) && getAppSetting().fileKeepDPI;
}

bool saveImageWithDpi(const wchar_t* path, int format, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                      ICanceller* canceller, const Decimal& commandDpiX, const Decimal& commandDpiY,
                      const Decimal& sourceDpiX, const Decimal& sourceDpiY)
{
    if (!path)
        return false;
    return writeThroughTemporaryFile(path, [&](IStream* file) {
        return saveImageWithDpi(file, format, bitmap, metadata, canceller, commandDpiX, commandDpiY, sourceDpiX,
                                sourceDpiY);
    });
}

bool saveImageWithDpi(IStream* file, int format, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                      ICanceller* canceller, const Decimal& commandDpiX, const Decimal& commandDpiY,
                      const Decimal& sourceDpiX, const Decimal& sourceDpiY)
{
    if (!file)
        return false;
    bool useSource = usesSourceResolution(commandDpiX, commandDpiY);
    return savePicture(Output{file, nullptr}, format, bitmap, metadata, canceller, useSource ? sourceDpiX : commandDpiX,
                       useSource ? sourceDpiY : commandDpiY);
}

bool saveImageDefault(ComPtr<IStream>* holder, int format, Gdiplus::Bitmap* bitmap,
                      IWICMetadataBlockReader* metadata, ICanceller* canceller)
{
    return saveImageFile(L"", holder, format, bitmap, metadata, canceller, Decimal(0), Decimal(0));
}
