#include "imaging/QualitySearch.h"
#include "imaging/ICanceller.h"

namespace {

constexpr int Lowest = 1;
constexpr int Highest = 100;
constexpr int FirstProbe = 62;

// Sizes are unsigned: the difference is taken the right way round rather than through a signed value.
ULONGLONG distance(ULONGLONG size, ULONGLONG target)
{
    return size > target ? size - target : target - size;
}

} // namespace

int findQualityForSize(ULONGLONG target, const EncodedSizeAt& sizeAt, ICanceller* canceller)
{
    int lo = Lowest;
    int hi = Highest;
    int q = FirstProbe;
    ULONGLONG sizeLo = 0;
    ULONGLONG sizeHi = 0;
    while (q != hi) {
        ULONGLONG size = sizeAt(q);
        if (size == 0 || isCancelled(canceller))
            return 0;
        if (size == target)
            return q;
        int step;
        if (size < target) {
            lo = q;
            sizeLo = size;
            step = (hi - q) * 13 / 21;
        } else {
            hi = q;
            sizeHi = size;
            step = -((q - lo) * 13 / 21);
        }
        q += step;
        if (q == lo)
            break;
    }
    if (hi == Highest) {
        sizeHi = sizeAt(Highest);
        if (sizeHi == 0)
            return 0;
    } else if (lo == Lowest) {
        sizeLo = sizeAt(Lowest);
        if (sizeLo == 0)
            return 0;
    }
    return distance(sizeHi, target) < distance(sizeLo, target) ? hi : lo;
}
