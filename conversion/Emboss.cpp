#include "conversion/Emboss.h"
#include <algorithm>

void Emboss::kernel(double weights[9])
{
    static const double kernels[8][9] = {
        {1, 1, 1, 0, 0, 0, -1, -1, -1},
        {1, 1, 0, 1, 0, -1, 0, -1, -1},
        {1, 0, -1, 1, 0, -1, 1, 0, -1},
        {0, -1, -1, 1, 0, -1, 1, 1, 0},
        {-1, -1, -1, 0, 0, 0, 1, 1, 1},
        {-1, -1, 0, -1, 0, 1, 0, 1, 1},
        {-1, 0, 1, -1, 0, 1, -1, 0, 1},
        {0, 1, 1, -1, 0, 1, -1, -1, 0},
    };
    const double* chosen = kernels[std::min(direction, 7u)];
    std::copy(chosen, chosen + 9, weights);
}
