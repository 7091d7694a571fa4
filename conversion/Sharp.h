#pragma once
#include "conversion/IConvolutionFilter.h"

// Sharpens: the pixel strengthened against its eight neighbours.
class Sharp : public IConvolutionFilter {
public:
    void kernel(double weights[9]) override;
};
