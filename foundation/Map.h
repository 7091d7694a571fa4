#pragma once
#include <cwchar>
#include <new>
#include "foundation/Array.h"
#include "foundation/ObjectList.h"
#include "foundation/wstring.h"

// Keys are equal by the key type's operator==, except strings, which are equal unit for unit. The string hash
// works on the units, so only this equality agrees with it whatever the bucket count; and a lookup must not
// depend on the user's locale.
template <typename K>
bool sameKey(const K& first, const K& second)
{
    return first == second;
}

inline bool sameKey(const wstring& first, const wstring& second)
{
    return wcscmp(first.buffer(), second.buffer()) == 0;
}

// A hash table of bucket lists. The bucket count given at construction is where it starts: a map with a key
// object doubles its buckets whenever it holds more than twice as many keys, so a lookup stays short however
// many keys come. A new key goes first in its bucket.
template <typename K, typename V>
class Map {
public:
    class HashKey {
    public:
        virtual ~HashKey() = default;
        // Must not throw: a map that grows hashes every key again.
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
        list = buckets.at(bucketIndex(key, buckets.count()));
        if (!list)
            return false;
        for (bool more = list->moveToFirst(); more; more = list->moveToNext()) {
            if (sameKey(list->atCursor()->key, key))
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
        int index = bucketIndex(key, buckets.count());
        bool created = !list;
        if (created) {
            list = new (std::nothrow) Bucket(true);
            if (!list) {
                delete element;
                throw Exception(ErrorCode::NoMemory);
            }
            buckets.at(index) = list;
        }
        if (!linkFirst(*list, element)) {
            DWORD error = GetLastError();
            if (created) {
                buckets.at(index) = nullptr;
                delete list;
            }
            throw Exception(static_cast<int>(error));
        }
        ++elementCount;
        if (keyObject && elementCount > 2 * buckets.count())
            grow();
    }

    // Unlinks the element under the cursor of a list that lookup returned.
    void removeAtCursor(Bucket& list)
    {
        if (!list.atCursor())
            return;
        list.removeAtCursor();
        --elementCount;
    }

    void clearBuckets()
    {
        deleteLists(buckets);
        elementCount = 0;
    }

    int bucketCount() const { return buckets.count(); }
    int count() const { return elementCount; }

    // Exchanges the stored elements; each map keeps its own key object, which must hash alike.
    void swapBuckets(Map& other)
    {
        buckets.swap(other.buckets);
        int otherCount = other.elementCount;
        other.elementCount = elementCount;
        elementCount = otherCount;
    }

private:
    int bucketIndex(const K& key, int count) const
    {
        if (!keyObject)
            return 0;
        int h = keyObject->hash(key);
        // The most negative hash has no magnitude in 32 bits.
        if (h == INT_MIN)
            return 0;
        return (h < 0 ? -h : h) % count;
    }

    static bool linkFirst(Bucket& list, Elem* element)
    {
        if (list.count() == 0)
            return list.append(element);
        list.moveToFirst();
        return list.insertBeforeCursor(element);
    }

    // Moves every node into a table twice as large. Growing only saves time: when memory is short for the new
    // lists the map stays as it is, and moving the nodes themselves needs no memory.
    void grow()
    {
        int oldCount = buckets.count();
        if (oldCount > (INT_MAX - 1) / 2)
            return;
        Array<Bucket*> larger;
        if (!larger.setSize(oldCount * 2 + 1))
            return;
        for (int i = 0; i < larger.count(); ++i) {
            larger.at(i) = new (std::nothrow) Bucket(true);
            if (!larger.at(i))
                return deleteLists(larger);
        }
        for (int i = 0; i < oldCount; ++i) {
            Bucket* list = buckets.at(i);
            while (list && list->count() > 0)
                list->moveFirstTo(*larger.at(bucketIndex(list->firstValue()->key, larger.count())));
        }
        deleteLists(buckets);
        buckets.swap(larger);
    }

    static void deleteLists(Array<Bucket*>& table)
    {
        for (int i = 0; i < table.count(); ++i) {
            delete table.at(i);
            table.at(i) = nullptr;
        }
    }

    Array<Bucket*> buckets;
    const HashKey* keyObject;
    int elementCount = 0;
};
