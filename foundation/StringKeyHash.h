#pragma once
#include "foundation/wstring.h"

// The hash of every string-keyed table: the sum of the UTF-16 units, wrapping in 32 bits. Anagrams share a
// bucket, which the bucket lists absorb.
inline int stringKeyHash(const wstring& key)
{
    unsigned int sum = 0;
    for (const wchar_t* unit = key.buffer(); *unit; ++unit)
        sum += *unit;
    return static_cast<int>(sum);
}
