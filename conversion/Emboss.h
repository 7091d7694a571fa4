#pragma once
#include "conversion/IConvolutionFilter.h"

// Relief in one of eight directions, 0..7, each a step round from the one before; a direction above 6 takes
// the last one. Flat areas come out black: the caller lifts the levels afterwards.
class Emboss : public IConvolutionFilter {
public:
    explicit Emboss(unsigned int direction) : direction(direction) {}
    void kernel(double weights[9]) override;

private:
    unsigned int direction;
};
