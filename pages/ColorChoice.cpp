#include "pages/ColorChoice.h"

void ColorChoice::reset(HWND owner, COLORREF colour)
{
    working = colour;
    swatch.create(colour);
    dialog.record.hwndOwner = owner;
    dialog.record.rgbResult = colour;
    dialog.record.Flags = CC_RGBINIT;
}

bool ColorChoice::choose()
{
    dialog.record.rgbResult = working;
    if (!dialog.show())
        return false;
    working = dialog.record.rgbResult;
    swatch.create(working);
    return true;
}
