#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t SliderClassName[] = L"msctls_trackbar32";

// A track bar over the percentages 1 to 100.
class Slider : public ClassControl<SliderClassName> {
public:
    void setRange()
    {
        sendMessage(TBM_SETRANGEMIN, FALSE, 1);
        sendMessage(TBM_SETRANGEMAX, FALSE, 100);
    }
    void setPageSize() { sendMessage(TBM_SETPAGESIZE, 0, 1); }
    void setPos(int position) { sendMessage(TBM_SETPOS, TRUE, position); }
    int getPos() const { return static_cast<int>(sendMessage(TBM_GETPOS)); }
    // Places the buddy window at the left (or top) end when left is set, else at the other end.
    void setBuddy(HWND buddy, bool left) { sendMessage(TBM_SETBUDDY, left, reinterpret_cast<LPARAM>(buddy)); }
};
