#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <wincodec.h>
#include <wincodecsdk.h>

class ICanceller;

// HD Photo, or JPEG when the container flag asks for it, through the imaging component's encoders, with the
// metadata blocks of a decoded picture copied when a block reader is given. Nothing throws: failures return
// false or null, and a failed file save leaves no file and an existing one intact.
class HdpFileGenerator {
public:
    // The quality that gives no quality option, so that the encoder's own default holds.
    static constexpr int NoQuality = -100;

    HdpFileGenerator() = default;
    HdpFileGenerator(const HdpFileGenerator&) = delete;
    HdpFileGenerator& operator=(const HdpFileGenerator&) = delete;
    virtual ~HdpFileGenerator() = default;

    virtual bool save(const wchar_t* path, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                      bool jpegContainer);
    // Into a file that the caller holds open (a staged output), from its current position.
    bool saveInto(IStream* file, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata, bool jpegContainer);
    // A new memory stream, positioned at its end; null on failure.
    virtual IStream* saveToStream(Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata, bool jpegContainer);

    // Takes 1 to 100 and returns the previous quality; anything else returns -1 and changes nothing.
    int setQuality(int value);
    int getQuality() const { return quality; }

    bool lossless = false;
    // Written when both are above 0; otherwise the bitmap's own resolution is kept.
    double dpiX = 0;
    double dpiY = 0;

private:
    void resolution(Gdiplus::Bitmap* bitmap, double& x, double& y) const;

    int quality = NoQuality;
};

// The pixel format written for the bitmap: 64 and 32 bits premultiplied BGRA, 48 bits RGB, shallower pictures
// with a transparent pixel 32 bits premultiplied BGRA, everything else 24 bits BGR.
GUID hdpPixelFormat(Gdiplus::Bitmap* bitmap);
// The size of the picture encoded at the quality (1 to 100, no lossless, no resolution); 0 on any failure.
ULONGLONG measureHdpEncodedSize(Gdiplus::Bitmap* bitmap, int quality, IWICMetadataBlockReader* metadata,
                                bool jpegContainer);
// The quality whose encoded size comes nearest to the target; 0 when cancelled or an encoding fails.
int findHdpQualityForFileSize(Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata, ULONGLONG targetSize,
                              bool jpegContainer, ICanceller* canceller);
