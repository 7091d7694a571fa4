#pragma once
#include <windows.h>
#include <ocidl.h>
#include <wincodec.h>
#include <wincodecsdk.h>
#include <memory>
#include "imaging/WicBitmapSource.h"

namespace WIC {

// One frame being encoded: created with its size and pixel format, given its options, initialised once, then
// written (pixels or a source) and committed, which releases its interfaces. Used empty it throws Exception 1.
class BitmapFrameEncode {
public:
    // Takes over both references.
    BitmapFrameEncode(IWICBitmapFrameEncode* frame, IPropertyBag2* options, UINT width, UINT height,
                      const GUID& pixelFormat);
    BitmapFrameEncode(const BitmapFrameEncode&) = delete;
    BitmapFrameEncode& operator=(const BitmapFrameEncode&) = delete;
    virtual ~BitmapFrameEncode();

    // Once only. The encoder may replace the pixel format by the nearest one it writes; pixelFormat() then
    // tells that one.
    void initialize();
    UINT bitsPerPixel() const;
    const GUID& pixelFormat() const { return format; }
    // An encoder option; only options written before initialize take effect.
    void writeProperty(const wchar_t* name, VARTYPE type, const VARIANT& value);
    // Rows of 32-bit pixels bottom-up as a DIB holds them, each a whole number of 32-bit words.
    void writePixels(const BYTE* rows);
    void writeSource(const BitmapSource& source);
    // Copies the metadata blocks of a decoded picture into the frame.
    void copyMetadata(IWICMetadataBlockReader* blockReader);

private:
    void requireFrame() const;
    void commitAndRelease();

    IWICBitmapFrameEncode* frame;
    IPropertyBag2* options;
    UINT width;
    UINT height;
    GUID format;
    bool initialized = false;
};

// An encoder writing to a file or a stream: created, given frames, committed (which empties it). Destroyed
// uncommitted it leaves incomplete output.
class BitmapEncoder {
public:
    BitmapEncoder() = default;
    BitmapEncoder(const BitmapEncoder&) = delete;
    BitmapEncoder& operator=(const BitmapEncoder&) = delete;
    virtual ~BitmapEncoder() { close(); }

    // Writes to the file at path when one is given, else to the stream. A container that the system cannot
    // write throws before the file is touched.
    void create(const wchar_t* path, IStream* stream, const GUID& container);
    void createOnStream(IStream* stream, const GUID& container);
    std::unique_ptr<BitmapFrameEncode> createFrame(UINT width, UINT height, const GUID& pixelFormat);
    // One frame of the source's size and pixel format, written and committed.
    void addFrame(const BitmapSource& source);
    void commit();
    void close();

private:
    IWICBitmapEncoder* encoder = nullptr;
    IWICStream* output = nullptr;
};

} // namespace WIC
