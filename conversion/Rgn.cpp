#include "conversion/Rgn.h"

bool Rgn::setRect(int left, int top, int right, int bottom)
{
    release();
    return hold(CreateRectRgn(left, top, right, bottom));
}

bool Rgn::setRoundRect(int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    release();
    return hold(CreateRoundRectRgn(0, 0, right, bottom, ellipseWidth, ellipseHeight));
}

bool Rgn::xorWith(const Rgn& other)
{
    if (!region || !other.region)
        return false;
    return CombineRgn(region, other.region, region, RGN_XOR) != ERROR;
}

void Rgn::release()
{
    if (region)
        DeleteObject(region);
    region = nullptr;
}

bool Rgn::hold(HRGN made)
{
    region = made;
    return region != nullptr;
}
