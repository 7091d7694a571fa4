#pragma once
#include <windows.h>

// The state of one standard scroll bar of a window (SB_HORZ or SB_VERT): range, page and the position the
// window shows. The state is the window's own record; the bar on the screen follows it only on apply.
class ScrollInfo {
public:
    explicit ScrollInfo(int bar);
    ScrollInfo(const ScrollInfo&) = delete;
    ScrollInfo& operator=(const ScrollInfo&) = delete;
    virtual ~ScrollInfo() = default;

    // The range runs from 0 to max; the position is clamped to it.
    void setRange(int max, int page);
    // Moves as the scroll code (the low word of a WM_HSCROLL / WM_VSCROLL wParam) asks; the thumb codes read
    // the tracking position from the window's bar. Returns the change of the position.
    int scroll(HWND window, WPARAM code);
    // Moves by a number of pixels, clamped (dragging the picture).
    void moveBy(int delta);
    void apply(HWND window);

    // False when the page covers the whole range: then nothing moves.
    bool canScroll() const { return info.nMax - info.nMin >= static_cast<int>(info.nPage); }
    int position() const { return info.nPos; }
    int max() const { return info.nMax; }
    int page() const { return static_cast<int>(info.nPage); }

private:
    void clamp();
    int lastPosition() const { return info.nMax - static_cast<int>(info.nPage) + 1; }

    SCROLLINFO info{};
    int bar;
    int lineStep = 1;
};
