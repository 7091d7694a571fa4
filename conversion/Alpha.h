#pragma once
#include "conversion/RowColorFilter.h"

// Gives every pixel the same alpha; colours stay.
class Alpha : public RowColorFilter<Alpha> {
public:
    explicit Alpha(BYTE value) : value(value) {}

    void change(BYTE& alpha, BYTE&, BYTE&, BYTE&) { alpha = value; }

private:
    BYTE value;
};
