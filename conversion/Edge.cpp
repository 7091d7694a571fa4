#include "conversion/Edge.h"
#include <algorithm>

void Edge::kernel(double weights[9])
{
    static const double edge[9] = {0, -1, 0, -1, 5, -1, 0, -1, 0};
    std::copy(edge, edge + 9, weights);
}
