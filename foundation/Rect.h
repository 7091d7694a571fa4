#pragma once
#include <windows.h>

// The platform's rectangle record as a value; users read and write the four edges directly.
class Rect : public tagRECT {
public:
    Rect() : tagRECT{0, 0, 0, 0} {}
    Rect(LONG left, LONG top, LONG right, LONG bottom) : tagRECT{left, top, right, bottom} {}
    Rect(const RECT& other) : tagRECT(other) {}
    virtual ~Rect() = default;
};
