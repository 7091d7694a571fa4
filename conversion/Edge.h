#pragma once
#include "conversion/IConvolutionFilter.h"

// Stresses edges: the pixel against its four direct neighbours.
class Edge : public IConvolutionFilter {
public:
    void kernel(double weights[9]) override;
};
