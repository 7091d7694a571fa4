#include "conversion/ColorValue.h"
#include <algorithm>
#include <cmath>

void rgbToHsv(BYTE red, BYTE green, BYTE blue, double& hue, double& saturation, double& value)
{
    int most = std::max({red, green, blue});
    int least = std::min({red, green, blue});
    value = most / 255.0;
    hue = 0;
    saturation = 0;
    if (most == 0)
        return;
    saturation = static_cast<double>(most - least) / most;
    if (saturation == 0)
        return;
    double spread = most - least;
    if (most == red)
        hue = (green - blue) * 60.0 / spread;
    else if (most == green)
        hue = (blue - red) * 60.0 / spread + 120;
    else
        hue = (red - green) * 60.0 / spread + 240;
    if (hue < 0)
        hue += 360;
}

void hsvToRgb(double hue, double saturation, double value, BYTE& red, BYTE& green, BYTE& blue)
{
    // One turn up and whole turns down bring every hue that ColorValue can make into 0..360; anything further
    // out is folded first so that the sector stays in range.
    if (hue < -360 || hue >= 720)
        hue = std::fmod(hue, 360.0);
    if (hue < 0)
        hue += 360;
    while (hue >= 360)
        hue -= 360;
    saturation = std::clamp(saturation, 0.0, 1.0);
    value = std::clamp(value, 0.0, 1.0);
    double e = value * 255;
    if (saturation == 0) {
        red = green = blue = static_cast<BYTE>(e);
        return;
    }
    double h = hue / 60;
    int sector = static_cast<int>(h);
    double f = h - sector;
    double p = (1 - saturation) * value * 255;
    double q = (1 - f * saturation) * value * 255;
    double t = (1 - (1 - f) * saturation) * value * 255;
    double rgb[6][3] = {{e, t, p}, {q, e, p}, {p, e, t}, {p, q, e}, {t, p, e}, {e, p, q}};
    const double* chosen = rgb[sector];
    red = static_cast<BYTE>(chosen[0]);
    green = static_cast<BYTE>(chosen[1]);
    blue = static_cast<BYTE>(chosen[2]);
}

ColorValue::ColorValue()
{
    fillTables();
}

void ColorValue::setRgb(int red, int green, int blue)
{
    mode = ColorValueRgb;
    redOffset = std::clamp(red, -255, 255);
    greenOffset = std::clamp(green, -255, 255);
    blueOffset = std::clamp(blue, -255, 255);
    hueShift = saturationShift = valueShift = 0;
    excludedColor = 0;
    fillTables();
}

void ColorValue::setHsv(double hue, double saturation, double value)
{
    mode = ColorValueHsv;
    redOffset = greenOffset = blueOffset = 0;
    excludedColor = 0;
    hueShift = std::clamp(hue, -360.0, 360.0);
    saturationShift = std::clamp(saturation, -1.0, 1.0);
    valueShift = std::clamp(value, -1.0, 1.0);
    fillTables();
}

void ColorValue::shiftHsv(BYTE& red, BYTE& green, BYTE& blue) const
{
    double hue, saturation, value;
    rgbToHsv(red, green, blue, hue, saturation, value);
    hsvToRgb(hue + hueShift, saturation + saturationShift, value + valueShift, red, green, blue);
}

void ColorValue::fillTables()
{
    for (int level = 0; level < 256; ++level) {
        redTable[level] = clampByte(level + redOffset);
        greenTable[level] = clampByte(level + greenOffset);
        blueTable[level] = clampByte(level + blueOffset);
    }
}
