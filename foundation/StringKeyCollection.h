#pragma once
#include "foundation/Collection.h"
#include "foundation/StringKeyHash.h"

// A collection keyed by strings, equal unit for unit (so case-sensitive), in insertion order. Copies are deep and keep the order.
template <typename V>
class StringKeyCollection : public Collection<wstring, V> {
public:
    class StringHashKey : public Collection<wstring, V>::HashKey {
    public:
        int hash(const wstring& key) const override { return stringKeyHash(key); }
    };

    explicit StringKeyCollection(int bucketCount) : Collection<wstring, V>(bucketCount, &hashKey) {}
    StringKeyCollection(const StringKeyCollection& other) : Collection<wstring, V>(other.bucketCount(), &hashKey)
    {
        for (int i = 0; i < other.count(); ++i)
            this->add(other.keyAt(i), other.valueAt(i));
    }
    // All or nothing: the copy is made before anything of this one changes.
    StringKeyCollection& operator=(const StringKeyCollection& other)
    {
        if (this != &other) {
            StringKeyCollection copy(other);
            this->swap(copy);
        }
        return *this;
    }

private:
    StringHashKey hashKey;
};
