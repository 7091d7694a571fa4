#pragma once
#include "conversion/RowColorFilter.h"

// Warmer (positive strength) or cooler (negative): red gets the strength, green half of it, blue loses it.
class Temperature : public RowColorFilter<Temperature> {
public:
    // The strength is clamped to -255..255.
    explicit Temperature(int strength);

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        red = redTable[red];
        green = greenTable[green];
        blue = blueTable[blue];
    }

private:
    int strength;
    BYTE redTable[256];
    BYTE greenTable[256];
    BYTE blueTable[256];
};
