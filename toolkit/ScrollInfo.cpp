#include "toolkit/ScrollInfo.h"
#include <algorithm>

ScrollInfo::ScrollInfo(int bar) : bar(bar)
{
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
}

void ScrollInfo::setRange(int max, int page)
{
    info.nMax = max;
    info.nPage = static_cast<UINT>(page);
    clamp();
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
}

void ScrollInfo::clamp()
{
    if (!canScroll()) {
        info.nPos = 0;
        return;
    }
    info.nPos = std::clamp(info.nPos, info.nMin, lastPosition());
}

int ScrollInfo::scroll(HWND window, WPARAM code)
{
    info.fMask = SIF_POS;
    if (!canScroll())
        return 0;
    int before = info.nPos;
    int target = before;
    switch (LOWORD(code)) {
    case SB_LINEUP:
        target -= lineStep;
        break;
    case SB_LINEDOWN:
        target += lineStep;
        break;
    case SB_PAGEUP:
        target -= page();
        break;
    case SB_PAGEDOWN:
        target += page();
        break;
    case SB_TOP:
        target = info.nMin;
        break;
    case SB_BOTTOM:
        target = lastPosition();
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO track{};
        track.cbSize = sizeof(track);
        track.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(window, bar, &track))
            target = track.nTrackPos;
        break;
    }
    default:
        break;
    }
    info.nPos = std::clamp(target, info.nMin, lastPosition());
    return info.nPos - before;
}

void ScrollInfo::moveBy(int delta)
{
    info.nPos += delta;
    clamp();
    info.fMask = SIF_POS;
}

void ScrollInfo::apply(HWND window)
{
    SetScrollInfo(window, bar, &info, TRUE);
}
