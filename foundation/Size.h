#pragma once
#include <windows.h>

// A size in fractional units; the system keeps a screen's horizontal and vertical dots per inch in one.
// The platform headers have no such record.
struct SIZE_F {
    float width;
    float height;
};

// The platform's size record as a value; users read and write cx and cy directly.
class Size : public tagSIZE {
public:
    Size() : tagSIZE{0, 0} {}
    Size(LONG cx, LONG cy) : tagSIZE{cx, cy} {}
    Size(const SIZE& other) : tagSIZE(other) {}
    virtual ~Size() = default;
};

class SizeF : public SIZE_F {
public:
    SizeF() : SIZE_F{0, 0} {}
    SizeF(float width, float height) : SIZE_F{width, height} {}
    virtual ~SizeF() = default;
};
