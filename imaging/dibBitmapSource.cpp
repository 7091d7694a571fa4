#include "imaging/dibBitmapSource.h"
#include <memory>
#include "foundation/ComPtr.h"
#include "foundation/Exception.h"
#include "imaging/ComStream.h"
#include "imaging/WicBitmapEncoder.h"
#include "imaging/wicDecode.h"

IWICBitmapSource* dibToBitmapSource(const Dib& dib)
{
    if (dib.isEmpty())
        Exception::throwInvalidArgument();
    if (dib.bitCount() == 32)
        return toBitmapSourceViaPng(dib);
    ComPtr<IStream> stream(dib.toStream());
    if (!stream)
        Exception::throwLastError();
    return wicFirstFrameFromStream(stream.get());
}

IWICBitmapSource* toBitmapSourceViaPng(const Dib& dib)
{
    // A BMP written through WIC would lose the fourth bytes; PNG keeps them as alpha.
    if (dib.bitCount() != 32)
        Exception::throwInvalidArgument();
    OutputComStream memory;
    memory.create();
    {
        WIC::BitmapEncoder encoder;
        encoder.createOnStream(memory.get(), GUID_ContainerFormatPng);
        std::unique_ptr<WIC::BitmapFrameEncode> frame = encoder.createFrame(
            static_cast<UINT>(dib.width()), static_cast<UINT>(dib.height()), GUID_WICPixelFormat32bppBGRA);
        GdiFlush();
        // A frame that fails part-way leaves the encoder uncommitted: no half-written picture is decoded.
        frame->writePixels(dib.getBits());
        frame.reset();
        encoder.commit();
    }
    ComPtr<IStream> stream(memory.detach());
    return wicFirstFrameFromStream(stream.get());
}
