#include <gtest/gtest.h>
#include <climits>
#include <vector>
#include "InjectedFailure.h"
#include "foundation/CollectionStringToString.h"
#include "foundation/MapStringToString.h"
#include "foundation/MessageWriter.h"
#include "foundation/Trace.h"
#include "support/ExpectCode.h"

namespace {

// Hashes a key to the number it spells, so tests can aim at buckets.
class NumberKey : public Map<wstring, int>::HashKey {
public:
    int hash(const wstring& key) const override
    {
        if (key.equals(L"min"))
            return INT_MIN;
        return key.toInt();
    }
};

std::vector<std::wstring> keysOf(const CollectionStringToString& collection)
{
    std::vector<std::wstring> keys;
    for (int i = 0; i < collection.count(); ++i)
        keys.push_back(std::wstring(collection.keyAt(i).buffer()) + L"=" + collection.valueAt(i).buffer());
    return keys;
}

std::vector<std::wstring> bucketKeys(Map<wstring, wstring>::Bucket* list)
{
    std::vector<std::wstring> keys;
    for (bool more = list->moveToFirst(); more; more = list->moveToNext())
        keys.push_back(list->atCursor()->key.buffer());
    return keys;
}

} // namespace

TEST(Map, KeysWithTheSameHashShareABucketNewestFirst)
{
    MapStringToString map;
    map.insert(L"ab", L"1");
    map.insert(L"ba", L"2");
    map.insert(L"c", L"3");
    Map<wstring, wstring>::Bucket* list = nullptr;
    ASSERT_TRUE(map.lookup(L"ab", list));
    EXPECT_EQ(bucketKeys(list), (std::vector<std::wstring>{L"ba", L"ab"}));
    EXPECT_STREQ(map.get(L"ab").buffer(), L"1");
    EXPECT_STREQ(map.get(L"ba").buffer(), L"2");

    // Replacing keeps the node where it is.
    map.insert(L"ab", L"4");
    map.lookup(L"ba", list);
    EXPECT_EQ(bucketKeys(list), (std::vector<std::wstring>{L"ba", L"ab"}));
    EXPECT_STREQ(map.get(L"ab").buffer(), L"4");
    EXPECT_FALSE(map.lookup(L"AB", list));
    expectCode(ERROR_INVALID_PARAMETER, [&] { map.get(L"Ab"); });
}

TEST(Map, BucketIsTheHashMagnitudeModuloTheCount)
{
    NumberKey keyObject;
    Map<wstring, int> map(11, &keyObject);
    map.insert(L"3", 3);
    map.insert(L"-14", -14);
    map.insert(L"min", 0);
    map.insert(L"22", 22);
    Map<wstring, int>::Bucket* three = nullptr;
    Map<wstring, int>::Bucket* other = nullptr;
    map.lookup(L"3", three);
    map.lookup(L"-14", other);
    EXPECT_EQ(three, other);
    EXPECT_EQ(three->count(), 2);
    Map<wstring, int>::Bucket* zero = nullptr;
    map.lookup(L"min", zero);
    map.lookup(L"22", other);
    EXPECT_EQ(zero, other);
    EXPECT_NE(zero, three);

    // Without a key object everything shares one bucket, so only one may be asked for.
    expectCode(ERROR_INVALID_PARAMETER, [] { Map<wstring, int> none(0, nullptr); });
    expectCode(ERROR_INVALID_PARAMETER, [] { Map<wstring, int> two(2, nullptr); });
    Map<wstring, int> single(1, nullptr);
    single.insert(L"a", 1);
    single.insert(L"b", 2);
    ASSERT_TRUE(single.lookup(L"a", three));
    EXPECT_EQ(three->count(), 2);
}

TEST(Collection, SetKeepsThePlaceAndNewKeysGoLast)
{
    CollectionStringToString collection;
    collection.add(L"b", L"1");
    collection.add(L"a", L"2");
    collection.set(L"b", L"3");
    collection.set(L"A", L"4");
    EXPECT_EQ(keysOf(collection), (std::vector<std::wstring>{L"b=3", L"a=2", L"A=4"}));
    EXPECT_STREQ(collection.value(L"A").buffer(), L"4");
}

TEST(Collection, RemoveMovesLaterKeysDown)
{
    CollectionStringToString collection;
    for (const wchar_t* key : {L"ab", L"ba", L"c", L"d"})
        collection.add(key, key);
    collection.remove(L"ba");
    EXPECT_EQ(keysOf(collection), (std::vector<std::wstring>{L"ab=ab", L"c=c", L"d=d"}));
    EXPECT_STREQ(collection.value(L"ab").buffer(), L"ab");
    EXPECT_EQ(collection.find(L"ba"), nullptr);
    collection.add(L"ba", L"again");
    EXPECT_EQ(keysOf(collection).back(), L"ba=again");
}

TEST(Collection, KeyAndIndexErrorsThrowWithoutChange)
{
    CollectionStringToString collection;
    collection.add(L"a", L"1");
    collection.add(L"b", L"2");
    expectCode(ERROR_INVALID_PARAMETER, [&] { collection.add(L"a", L"3"); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collection.value(L"c"); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collection.remove(L"B"); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collection.keyAt(2); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collection.valueAt(-1); });
    EXPECT_EQ(keysOf(collection), (std::vector<std::wstring>{L"a=1", L"b=2"}));
}

TEST(Collection, FailedAddRollsTheKeyBack)
{
    CollectionStringToString collection;
    collection.add(L"a", L"1");
    wstring key(L"b"), value(L"2");
    for (int successes = 0; successes < 2; ++successes) {
        // First the key array cannot grow, then the bucket node cannot be had.
        InjectedFailure failure(successes);
        expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { collection.add(key, value); });
    }
    EXPECT_EQ(keysOf(collection), (std::vector<std::wstring>{L"a=1"}));
    EXPECT_EQ(collection.find(L"b"), nullptr);
    collection.add(L"b", L"2");
    EXPECT_EQ(keysOf(collection), (std::vector<std::wstring>{L"a=1", L"b=2"}));
}

TEST(Collection, CopiesAreDeepAndKeepTheOrder)
{
    CollectionStringToString original;
    original.add(L"z", L"1");
    original.add(L"y", L"2");
    CollectionStringToString copy(original);
    copy.set(L"z", L"changed");
    EXPECT_STREQ(original.value(L"z").buffer(), L"1");

    StringKeyCollection<CollectionStringToString> sections(11);
    sections.add(L"S", original);
    sections.set(L"S", copy);
    original.remove(L"y");
    EXPECT_EQ(keysOf(sections.value(L"S")), (std::vector<std::wstring>{L"z=changed", L"y=2"}));
}

namespace {

class CountingWriter : public MessageWriter {
public:
    explicit CountingWriter(int& deleted) : deleted(deleted) {}
    ~CountingWriter() override { ++deleted; }
    void write(const wstring&) override {}
    void write(const astring&) override {}

private:
    int& deleted;
};

} // namespace

TEST(Trace, DeletesItsWritersWhenOwningThem)
{
    int deleted = 0;
    CountingWriter kept(deleted);
    {
        Trace owning;
        owning.add(L"one", new CountingWriter(deleted));
        owning.add(L"two", new CountingWriter(deleted));
        Trace borrowing(false);
        borrowing.add(L"kept", &kept);
    }
    EXPECT_EQ(deleted, 2);
}
