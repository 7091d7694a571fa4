#include "conversion/Sharp.h"
#include <algorithm>

void Sharp::kernel(double weights[9])
{
    std::fill(weights, weights + 9, -0.11);
    weights[4] = 1.88;
}
