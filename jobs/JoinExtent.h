#pragma once
#include <windows.h>

// The size of a joined picture, counted as its pictures are added: side by side the widths add up and the
// tallest height counts, stacked the other way round. Neither side may exceed the limit (equal is allowed), nor
// the whole picture PictureSizeLimit.
class JoinExtent {
public:
    JoinExtent(bool vertical, int limit) : vertical(vertical), limit(limit) {}

    // Counts the picture in. When the joined picture would grow past the limit it throws ApplicationException
    // with "E0015" and the count stays as it was.
    void add(int width, int height);
    int width() const { return static_cast<int>(vertical ? breadth : length); }
    int height() const { return static_cast<int>(vertical ? length : breadth); }

private:
    bool vertical;
    int limit;
    LONGLONG length = 0;
    int breadth = 0;
};
