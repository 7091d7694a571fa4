#include "imaging/DibConverter.h"
#include "imaging/ICanceller.h"

namespace DibConvert {

bool ColorFilter::convert(Dib& dib, ICanceller* canceller)
{
    if (!filter) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    if (!filter->isReady())
        return false;
    if (dib.isEmpty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    bool done = dib.bitCount() <= 8  ? convertTable(dib)
                : dib.bitCount() == 32 ? convertPixels(dib, canceller)
                                       : convertThrough32(dib);
    if (done)
        return true;
    DWORD error = GetLastError();
    dib.reallocInfo(0);
    SetLastError(error);
    return false;
}

bool ColorFilter::convertTable(Dib& dib)
{
    const RGBQUAD* table = dib.getColorTable();
    if (!table) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    PALETTEENTRY entries[256] = {};
    for (int i = 0, n = dib.colorCount(); i < n && i < 256; ++i) {
        RGBQUAD color = table[i];
        filter->apply(&color.rgbReserved, &color.rgbRed, &color.rgbGreen, &color.rgbBlue);
        entries[i] = PALETTEENTRY{color.rgbRed, color.rgbGreen, color.rgbBlue, 0};
    }
    return dib.setColorTable(entries);
}

bool ColorFilter::convertPixels(Dib& dib, ICanceller* canceller)
{
    GdiFlush();
    for (int y = 0; y < dib.height(); ++y) {
        if (isCancelled(canceller)) {
            SetLastError(0);
            return false;
        }
        filter->applyRow(dib.getBits() + static_cast<INT_PTR>(y) * dib.stride(), dib.width());
    }
    return true;
}

bool ColorFilter::convertThrough32(Dib& dib)
{
    Dib copy;
    if (!copy.copyAtDepth(dib, 32) || !convertPixels(copy, nullptr))
        return false;
    bool drawn = copy.drawScaled(dib.getDC(), 1.0);
    dib.releaseDC();
    return drawn;
}

} // namespace DibConvert
