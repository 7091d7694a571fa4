#pragma once
#include <windows.h>
#include <wincodec.h>

// Owning wrappers of WIC pictures. Each holds one reference per interface pointer and releases it in release()
// and in its destructor. A wrapper that holds nothing throws Exception 1 when used; WIC failures throw
// Exception with the HRESULT.
namespace WIC {

class BitmapSource {
public:
    // A null source throws Exception 87. With attach the wrapper takes over the caller's reference, without it
    // the wrapper adds its own.
    BitmapSource(IWICBitmapSource* source, bool attach);
    BitmapSource(const BitmapSource&) = delete;
    BitmapSource& operator=(const BitmapSource&) = delete;
    virtual ~BitmapSource();

    // The count that the last Release left; 0 when nothing was held.
    virtual ULONG release();

    UINT width() const;
    UINT height() const;
    double dpiX() const;
    double dpiY() const;
    GUID pixelFormat() const;
    UINT bitsPerPixel() const;
    // Copies the palette of a source of 8 bits per pixel or fewer into room for 256 colours; 0 for deeper ones.
    UINT copyPalette(WICColor* colours) const;
    // A new reference to another interface of the object.
    void queryInterface(REFIID iid, void** result) const;
    // The picture encoded into a new memory stream, one frame in its own pixel format.
    IStream* encodeToStream(const GUID& container) const;
    // The metadata reader of a decoded frame; null for a frame of a format that holds no metadata (BMP). A
    // source that is no frame throws E_NOINTERFACE.
    IWICMetadataQueryReader* metadataQueryReader() const;

    IWICBitmapSource* get() const { return source; }

protected:
    IWICBitmapSource* requireSource() const;

private:
    IWICBitmapSource* source;
};

class BitmapFrameDecode : public BitmapSource {
public:
    BitmapFrameDecode(IWICBitmapFrameDecode* frame, bool attach) : BitmapSource(frame, attach) {}
};

// A bitmap in memory; holds the object twice, as source and as bitmap.
class Bitmap : public BitmapSource {
public:
    Bitmap(IWICBitmap* bitmap, bool attach);
    ~Bitmap() override;

    ULONG release() override;
    // Only for 8 bits per pixel or fewer: a palette of the colours (2, 16 or 256 of them by depth), or an empty
    // one when colours is null. Deeper bitmaps are left alone.
    void setPalette(const WICColor* colours);
    void setResolution(double dpiX, double dpiY);

private:
    IWICBitmap* bitmap;
};

} // namespace WIC
