#pragma once
#include "conversion/RowColorFilter.h"

enum LightKind {
    LightBrighten = 0,
    LightDarken = 1,
    LightContrast = 2,
};

// Brightens, darkens or adds contrast through a tone curve applied to red, green and blue.
class Light : public RowColorFilter<Light> {
public:
    // A repeat count below 1 counts as 1; a kind outside 0..2 keeps every level.
    Light(int kind, int repeatCount);

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        red = toneTable[red];
        green = toneTable[green];
        blue = toneTable[blue];
    }

private:
    void buildToneTable();
    int curve(int level) const;

    int repeatCount;
    int kind;
    BYTE toneTable[256];
};
