#include "foundation/IntArray.h"

void IntArray::addAll(const GenericArray<int>& other)
{
    int n = other.count();
    for (int i = 0; i < n; ++i)
        values.add(other.at(i));
}
