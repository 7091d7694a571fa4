#pragma once
#include <new>
#include "foundation/Array.h"
#include "foundation/ObjectList.h"

// A hash table of bucket lists whose bucket count is fixed at construction: it never rehashes. The newest key
// of a bucket is its first node. Keys are equal by the key type's operator== (lstrcmpW for wstring).
template <typename K, typename V>
class Map {
public:
    class HashKey {
    public:
        virtual ~HashKey() = default;
        virtual int hash(const K& key) const = 0;
    };

    struct Elem {
        K key;
        V value;
    };

    using Bucket = ObjectList<Elem>;

    // Without a key object every key lies in one bucket, so only a single bucket makes sense then.
    Map(int bucketCount, const HashKey* keyObject) : keyObject(keyObject)
    {
        if (bucketCount <= 0 || (bucketCount >= 2 && !keyObject))
            Exception::throwInvalidArgument();
        if (!buckets.setSize(bucketCount))
            Exception::throwLastError();
    }
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;
    virtual ~Map() { clearBuckets(); }

    // True when the key is present; its bucket list (null when the bucket was never used) is returned with
    // the cursor on the matching node.
    bool lookup(const K& key, Bucket*& list) const
    {
        list = buckets.at(bucketIndex(key));
        if (!list)
            return false;
        for (bool more = list->moveToFirst(); more; more = list->moveToNext()) {
            if (list->atCursor()->key == key)
                return true;
        }
        return false;
    }

    // The stored value, or null when the key is missing.
    V* find(const K& key) const
    {
        Bucket* list = nullptr;
        if (!lookup(key, list))
            return nullptr;
        return &list->atCursor()->value;
    }

    // Adds the key or replaces its value; a replaced key keeps its place in its bucket.
    void insert(const K& key, const V& value)
    {
        Elem* element = new (std::nothrow) Elem{key, value};
        if (!element)
            throw Exception(ErrorCode::NoMemory);
        Bucket* list = nullptr;
        if (lookup(key, list)) {
            list->replaceAtCursor(element);
            return;
        }
        bool created = !list;
        if (created) {
            list = new (std::nothrow) Bucket(true);
            if (!list) {
                delete element;
                throw Exception(ErrorCode::NoMemory);
            }
            buckets.at(bucketIndex(key)) = list;
        }
        bool linked = list->count() == 0 ? list->append(element)
                                         : (list->moveToFirst(), list->insertBeforeCursor(element));
        if (linked)
            return;
        DWORD error = GetLastError();
        if (created) {
            buckets.at(bucketIndex(key)) = nullptr;
            delete list;
        }
        throw Exception(static_cast<int>(error));
    }

    void clearBuckets()
    {
        for (int i = 0; i < buckets.count(); ++i) {
            delete buckets.at(i);
            buckets.at(i) = nullptr;
        }
    }

    int bucketCount() const { return buckets.count(); }

    // Exchanges the stored elements; each map keeps its own key object, which must hash alike.
    void swapBuckets(Map& other) { buckets.swap(other.buckets); }

private:
    int bucketIndex(const K& key) const
    {
        if (!keyObject)
            return 0;
        int h = keyObject->hash(key);
        // The most negative hash has no magnitude in 32 bits.
        if (h == INT_MIN)
            return 0;
        return (h < 0 ? -h : h) % buckets.count();
    }

    Array<Bucket*> buckets;
    const HashKey* keyObject;
};
