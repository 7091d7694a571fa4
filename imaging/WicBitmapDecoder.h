#pragma once
#include <windows.h>
#include <wincodec.h>
#include "foundation/wstring.h"
#include "imaging/ICanceller.h"
#include "imaging/WicDeclarations.h"

namespace WIC {

// A decoder on a picture in memory. Everything but the openings and attach throws Exception 1 while no decoder
// is held; WIC failures throw Exception with the HRESULT.
class BitmapDecoder {
public:
    BitmapDecoder() = default;
    BitmapDecoder(const BitmapDecoder&) = delete;
    BitmapDecoder& operator=(const BitmapDecoder&) = delete;
    virtual ~BitmapDecoder();

    // The whole file is copied into memory first, so the file is not held open while WIC reads it. A file that
    // cannot be read throws Exception with the system's error.
    void openFile(const wstring& path);
    // The decoder keeps its own reference to the stream, which is read from its start. A picture whose claims
    // fail checkPictureClaims reaches no decoder: Exception 8 or 87.
    void openStream(IStream* stream);
    // Takes over the caller's reference to a decoder made elsewhere; a held one is released first.
    void attach(IWICBitmapDecoder* other);

    // Frame decoding then asks the canceller, which is borrowed, and ends with E_ABORT once it answers true.
    // False when the decoder reports no progress at all (it then runs to its end); other failures throw.
    bool setCanceller(ICanceller* canceller);
    void clearCanceller();

    GUID containerFormat() const;
    UINT frameCount() const;
    // New references, the caller's to release. A picture larger than PictureSizeLimit allows throws
    // PictureTooLarge before its pixels are decoded. A GIF's frame comes on the logical screen (onGifScreen).
    IWICBitmapFrameDecode* frame(UINT index) const;
    IWICBitmapSource* preview() const;
    IWICBitmapSource* thumbnail() const;

private:
    IWICBitmapDecoder* requireDecoder() const;
    void release();

    IWICBitmapDecoder* decoder = nullptr;
    ICanceller* canceller = nullptr;
};

// The progress callback registered for a canceller (the callback's data): E_ABORT once it reports
// cancellation, S_OK before.
HRESULT WINAPI wicProgressNotification(void* data, ULONG frameNumber, WICProgressOperation operation,
                                       double progress);

} // namespace WIC
