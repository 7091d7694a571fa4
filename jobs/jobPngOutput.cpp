#include "jobs/jobPngOutput.h"
#include <wincodec.h>
#include "foundation/Exception.h"
#include "imaging/TemporaryOutputFile.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/dibBitmapSource.h"
#include "imaging/wicEncode.h"

void writeDibAsPng(const Dib& dib, const wstring& path)
{
    WIC::BitmapSource source(dibToBitmapSource(dib), true);
    bool written = writeThroughTemporaryFile(path.buffer(), [&](IStream* file) {
        wicEncodeSource(GUID_ContainerFormatPng, source, GUID_WICPixelFormatDontCare, WIC::EncodeProperties(), nullptr,
                        nullptr, file);
        return true;
    });
    if (!written)
        Exception::throwLastError();
}
