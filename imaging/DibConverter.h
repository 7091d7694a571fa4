#pragma once
#include <windows.h>
#include "foundation/MaybeOwned.h"
#include "imaging/Dib.h"
#include "imaging/IColorFilter.h"

class ICanceller;

namespace DibConvert {

// Changes a whole Dib in place. A failed conversion leaves the Dib empty.
class DibConverter {
public:
    virtual ~DibConverter() = default;
    virtual bool convert(Dib& dib, ICanceller* canceller) = 0;
};

// Runs a colour filter over a Dib: over the colour table of an indexed one (its pixels stay as they are),
// over every pixel of a 32-bit one, and through a 32-bit copy for 16 and 24 bits. Without a filter it fails
// with last error 1 and leaves the Dib alone; a cancel fails with last error 0.
class ColorFilter : public DibConverter {
public:
    ColorFilter(IColorFilter* filter, bool ownsFilter) : filter(filter, ownsFilter) {}

    bool convert(Dib& dib, ICanceller* canceller) override;

private:
    bool convertTable(Dib& dib);
    bool convertPixels(Dib& dib, ICanceller* canceller);
    bool convertThrough32(Dib& dib);

    MaybeOwned<IColorFilter> filter;
};

} // namespace DibConvert
