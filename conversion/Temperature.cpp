#include "conversion/Temperature.h"
#include <algorithm>

Temperature::Temperature(int strength) : strength(std::clamp(strength, -255, 255))
{
    for (int level = 0; level < 256; ++level) {
        redTable[level] = clampByte(level + this->strength);
        // Halved toward zero: a strength of -5 takes 2 from green.
        greenTable[level] = clampByte(level + this->strength / 2);
        blueTable[level] = clampByte(level - this->strength);
    }
}
