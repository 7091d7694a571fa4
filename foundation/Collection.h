#pragma once
#include "foundation/Map.h"
#include "foundation/ObjectArray.h"

// A map that also remembers its keys in insertion order, for walking and for access by index. The key array
// and the map always hold the same key set: a failed change leaves both as they were.
template <typename K, typename V>
class Collection {
public:
    using HashKey = typename Map<K, V>::HashKey;

    Collection(int bucketCount, const HashKey* keyObject) : map(bucketCount, keyObject) {}
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;
    virtual ~Collection() = default;

    void add(const K& key, const V& value)
    {
        if (map.find(key))
            Exception::throwInvalidArgument();
        const K* keyCopy = new (std::nothrow) const K(key);
        if (!keyCopy)
            throw Exception(ErrorCode::NoMemory);
        if (!keys.add(keyCopy))
            Exception::throwLastError();
        try {
            map.insert(key, value);
        } catch (...) {
            keys.removeAt(keys.count() - 1);
            throw;
        }
    }

    // An existing key keeps its place in the order.
    void set(const K& key, const V& value)
    {
        V* stored = map.find(key);
        if (stored)
            *stored = value;
        else
            add(key, value);
    }

    V& value(const K& key) { return required(map.find(key)); }
    const V& value(const K& key) const { return required(map.find(key)); }
    // The stored value, or null when the key is missing.
    V* find(const K& key) const { return map.find(key); }

    K keyAt(int index) const { return *keys.at(index); }
    V& valueAt(int index) { return value(*keys.at(index)); }
    const V& valueAt(int index) const { return value(*keys.at(index)); }

    void remove(const K& key)
    {
        typename Map<K, V>::Bucket* list = nullptr;
        if (!map.lookup(key, list))
            Exception::throwInvalidArgument();
        int index = indexOf(key);
        map.removeAtCursor(*list);
        keys.removeAt(index);
    }

    void removeAll()
    {
        keys.removeAll();
        map.clearBuckets();
    }

    int count() const { return keys.count(); }
    int bucketCount() const { return map.bucketCount(); }

protected:
    void swap(Collection& other)
    {
        keys.swap(other.keys);
        map.swapBuckets(other.map);
    }

private:
    static V& required(V* stored)
    {
        if (!stored)
            Exception::throwInvalidArgument();
        return *stored;
    }

    int indexOf(const K& key) const
    {
        for (int i = 0; i < keys.count(); ++i) {
            if (sameKey(*keys.at(i), key))
                return i;
        }
        return -1;
    }

    ObjectArray<const K> keys;
    Map<K, V> map;
};
