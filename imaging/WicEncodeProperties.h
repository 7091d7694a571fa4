#pragma once
#include <windows.h>

namespace WIC {

class BitmapFrameEncode;

// Encoder options to give a frame before it is initialised. Only the options that were set are written; what a
// codec makes of them, or whether it knows them at all, is its own business.
class EncodeProperties {
public:
    enum Option : DWORD {
        Lossless = 1,
        ImageQuality = 2,
        CompressionQuality = 4,
        BitmapTransform = 8,
        TiffCompressionMethod = 16,
    };

    EncodeProperties() = default;
    virtual ~EncodeProperties() = default;

    void setLossless(bool value);
    // Fractions 0.0 to 1.0; anything else throws Exception 87.
    void setImageQuality(float fraction);
    void setCompressionQuality(float fraction);
    void setBitmapTransform(BYTE value);
    void setTiffCompressionMethod(BYTE value);
    DWORD options() const { return flags; }

    // Writes the set options in the order of the Option values; a null frame throws Exception 87.
    void applyTo(BitmapFrameEncode* frame) const;

private:
    DWORD flags = 0;
    bool lossless = false;
    float imageQuality = 0;
    float compressionQuality = 0;
    BYTE bitmapTransform = 0;
    BYTE tiffCompressionMethod = 0;
};

} // namespace WIC
