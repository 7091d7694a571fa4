#include "imaging/GdiplusEncoder.h"
#include <gdiplus.h>
#include "foundation/MemoryAllocator.h"

int getEncoderClsid(const wchar_t* mimeType, CLSID* clsid)
{
    if (clsid)
        *clsid = CLSID();
    if (!mimeType || !clsid)
        return -1;
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return -1;
    auto encoders = static_cast<Gdiplus::ImageCodecInfo*>(MemoryAllocator::alloc(static_cast<int>(bytes)));
    if (!encoders)
        return -1;
    int found = -1;
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) == Gdiplus::Ok) {
        for (UINT i = 0; i < count && found < 0; ++i) {
            if (encoders[i].MimeType && lstrcmpW(encoders[i].MimeType, mimeType) == 0) {
                *clsid = encoders[i].Clsid;
                found = static_cast<int>(i);
            }
        }
    }
    MemoryAllocator::free(encoders);
    return found;
}
