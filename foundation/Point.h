#pragma once
#include <windows.h>

// The platform's point record as a value; users read and write x and y directly.
class Point : public tagPOINT {
public:
    Point() : tagPOINT{0, 0} {}
    Point(LONG x, LONG y) : tagPOINT{x, y} {}
    Point(const POINT& other) : tagPOINT(other) {}
    virtual ~Point() = default;
};
