#include "conversion/ChangeRgb.h"

ChangeRgb::ChangeRgb(int redTo, int greenTo, int blueTo)
{
    int wanted[3] = {redTo, greenTo, blueTo};
    for (int channel = 0; channel < 3; ++channel)
        destinations[channel] = wanted[channel] >= 0 && wanted[channel] <= 2 ? wanted[channel] : channel;
}
