#include "toolkit/FontDialog.h"
#include "toolkit/Font.h"

namespace {

constexpr int InitialPoints = 10;

} // namespace

FontDialog::FontDialog()
{
    record.lStructSize = sizeof(record);
    record.lpLogFont = &font;
    record.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"System", LF_FACESIZE);
    setPointSize(InitialPoints);
}

void FontDialog::setPointSize(int points)
{
    font.lfHeight = displayFontHeight(points);
    font.lfWidth = 0;
    record.iPointSize = points * 10;
}

void FontDialog::limitSizes(int minimum, int maximum)
{
    record.Flags |= CF_LIMITSIZE;
    record.nSizeMin = minimum;
    record.nSizeMax = maximum;
}
