#pragma once
#include "foundation/wstring.h"

// The hash of every string-keyed table: FNV-1a over the UTF-16 units. Keys that differ only in the order of
// their letters, or numbered keys ("Path0", "Path1", ...), spread over the buckets as much as any.
inline int stringKeyHash(const wstring& key)
{
    unsigned int hash = 2166136261u;
    for (const wchar_t* unit = key.buffer(); *unit; ++unit) {
        hash ^= static_cast<unsigned int>(*unit);
        hash *= 16777619u;
    }
    return static_cast<int>(hash);
}
