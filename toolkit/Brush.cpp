#include "toolkit/Brush.h"

void Brush::release()
{
    if (brush)
        DeleteObject(brush);
    brush = nullptr;
}

bool Brush::hold(HBRUSH made)
{
    release();
    brush = made;
    return brush != nullptr;
}
