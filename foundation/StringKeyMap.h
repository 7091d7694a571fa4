#pragma once
#include "foundation/Map.h"
#include "foundation/StringKeyHash.h"

// A map keyed by strings, equal unit for unit (so case-sensitive), without key order.
template <typename V>
class StringKeyMap : public Map<wstring, V> {
public:
    class StringHashKey : public Map<wstring, V>::HashKey {
    public:
        int hash(const wstring& key) const override { return stringKeyHash(key); }
    };

    explicit StringKeyMap(int bucketCount) : Map<wstring, V>(bucketCount, &hashKey) {}

private:
    StringHashKey hashKey;
};
