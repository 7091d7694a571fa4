#include "conversion/Soft.h"
#include <algorithm>

void Soft::kernel(double weights[9])
{
    std::fill(weights, weights + 9, 0.11);
    weights[4] = 0.12;
}
