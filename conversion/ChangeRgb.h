#pragma once
#include "conversion/RowColorFilter.h"

// Moves each colour channel to another: destinations 0 red, 1 green, 2 blue. The incoming red is written to
// its destination first, then the incoming green, then the incoming blue, so a later write wins; a channel
// sent to itself writes nothing.
class ChangeRgb : public RowColorFilter<ChangeRgb> {
public:
    // A destination outside 0..2 keeps that channel where it is.
    ChangeRgb(int redTo, int greenTo, int blueTo);

    void change(BYTE&, BYTE& red, BYTE& green, BYTE& blue)
    {
        BYTE incoming[3] = {red, green, blue};
        BYTE* channels[3] = {&red, &green, &blue};
        for (int channel = 0; channel < 3; ++channel) {
            if (destinations[channel] != channel)
                *channels[destinations[channel]] = incoming[channel];
        }
    }

private:
    int destinations[3];
};
