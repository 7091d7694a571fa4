#pragma once
#include "conversion/RowColorFilter.h"

enum ColorValueMode {
    ColorValueRgb = 0,          // offsets added to red, green and blue
    ColorValueRgbExcluding = 1, // the same, except for pixels of the excluded colour
    ColorValueHsv = 2,          // hue, saturation and value shifted (saturation also scaled)
};

// Hue in degrees (0..360), saturation and value 0..1 of a colour.
void rgbToHsv(BYTE red, BYTE green, BYTE blue, double& hue, double& saturation, double& value);
// The colour of a hue (any number of degrees), saturation and value (each clamped to 0..1).
void hsvToRgb(double hue, double saturation, double value, BYTE& red, BYTE& green, BYTE& blue);

// Shifts colours by RGB offsets or in HSV space. Made in mode 0 with no offsets.
class ColorValue : public RowColorFilter<ColorValue> {
public:
    ColorValue();

    // Mode 0 with the offsets, each clamped to -255..255; the HSV shifts and the excluded colour are cleared.
    void setRgb(int red, int green, int blue);
    // Mode 2; hue clamped to -360..360 degrees, saturation and value to -1..1; offsets and excluded colour cleared.
    void setHsv(double hue, double saturation, double value);
    // Mode 2 with each pixel's saturation s made s x (1 + increase), the increase clamped to -1..1; hue and value
    // stay. Greys have no saturation to raise, so they stay grey, where an added shift would colour them red.
    void setSaturationIncrease(double increase);
    // Mode 1 is chosen by these two after setRgb.
    void setMode(ColorValueMode mode) { this->mode = mode; }
    // A COLORREF: blue << 16 | green << 8 | red.
    void setExcludedColor(int color) { excludedColor = color; }

    void applyRow(BYTE* pixels, int count) override;

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        if (mode == ColorValueHsv) {
            shiftHsv(red, green, blue);
            return;
        }
        if (mode == ColorValueRgbExcluding && (blue << 16 | green << 8 | red) == excludedColor)
            return;
        red = redTable[red];
        green = greenTable[green];
        blue = blueTable[blue];
    }

private:
    void shiftHsv(BYTE& red, BYTE& green, BYTE& blue) const;
    // Four pixels at a time, with the same operations on doubles as shiftHsv.
    void shiftHsvRow(BYTE* pixels, int count) const;
    void fillTables();

    ColorValueMode mode = ColorValueRgb;
    int redOffset = 0;
    int greenOffset = 0;
    int blueOffset = 0;
    double hueShift = 0;
    double saturationScale = 1;
    double saturationShift = 0;
    double valueShift = 0;
    int excludedColor = 0;
    // Each level with its channel's offset added and clamped.
    BYTE redTable[256];
    BYTE greenTable[256];
    BYTE blueTable[256];
};
