#include "toolkit/ColorDialog.h"

ColorDialog::ColorDialog()
{
    for (COLORREF& colour : customColors)
        colour = RGB(255, 255, 255);
    record.lStructSize = sizeof(record);
    record.lpCustColors = customColors;
}
