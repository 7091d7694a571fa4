#include "conversion/Light.h"
#include <cmath>
#include <numbers>

Light::Light(int kind, int repeatCount) : repeatCount(repeatCount < 1 ? 1 : repeatCount), kind(kind)
{
    buildToneTable();
}

void Light::buildToneTable()
{
    for (int level = 0; level < 256; ++level) {
        int toned = level;
        for (int pass = 0; pass < repeatCount; ++pass)
            toned = curve(toned);
        toneTable[level] = static_cast<BYTE>(toned);
    }
}

// One application of the curve, truncated toward zero. Darkening keeps the sine form, 255 x sin(x + 3pi/2)
// + 255, so that its rounding (255 becomes 254) is that of the established curve.
int Light::curve(int level) const
{
    constexpr double pi = std::numbers::pi;
    double angle = level / 255.0 * pi / 2;
    switch (kind) {
    case LightBrighten:
        return static_cast<int>(255 * std::sin(angle));
    case LightDarken:
        return static_cast<int>(255 * std::sin(angle + 3 * pi / 2) + 255);
    case LightContrast: {
        double sine = std::sin(angle);
        return static_cast<int>(255 * sine * sine);
    }
    default:
        return level;
    }
}
