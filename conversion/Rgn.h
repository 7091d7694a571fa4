#pragma once
#include <windows.h>

// Owner of one platform region, empty at first.
class Rgn {
public:
    Rgn() = default;
    Rgn(const Rgn&) = delete;
    Rgn& operator=(const Rgn&) = delete;
    ~Rgn() { release(); }

    // Each replaces the held region; false when the new one could not be made (the holder is then empty).
    bool setRect(int left, int top, int right, int bottom);
    // A rectangle from (0, 0) with corners rounded by the ellipse.
    bool setRoundRect(int right, int bottom, int ellipseWidth, int ellipseHeight);
    // This region becomes the parts that lie in exactly one of the two; false when either is empty or the
    // combination fails.
    bool xorWith(const Rgn& other);

    HRGN handle() const { return region; }

private:
    void release();
    bool hold(HRGN made);

    HRGN region = nullptr;
};
