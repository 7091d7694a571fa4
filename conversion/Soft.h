#pragma once
#include "conversion/IConvolutionFilter.h"

// Softens: the pixel and its eight neighbours in nearly equal shares.
class Soft : public IConvolutionFilter {
public:
    void kernel(double weights[9]) override;
};
