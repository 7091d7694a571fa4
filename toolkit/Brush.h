#pragma once
#include <windows.h>

// Owner of one brush handle, null when none is held.
class Brush {
public:
    Brush() = default;
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;
    virtual ~Brush() { release(); }

    HBRUSH handle() const { return brush; }
    void release();

protected:
    // Holds the brush in place of the one held before; true when there is one.
    bool hold(HBRUSH made);

    HBRUSH brush = nullptr;
};

// A brush of one colour.
class SolidBrush : public Brush {
public:
    bool create(COLORREF colour) { return hold(CreateSolidBrush(colour)); }
};

// A brush that repeats a bitmap (which the caller keeps).
class PatternBrush : public Brush {
public:
    bool create(HBITMAP pattern) { return hold(CreatePatternBrush(pattern)); }
};
