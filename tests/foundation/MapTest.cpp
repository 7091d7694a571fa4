#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <string>
#include <vector>
#include "InjectedFailure.h"
#include "foundation/CollectionStringToString.h"
#include "foundation/MapStringToString.h"
#include "foundation/MessageWriter.h"
#include "foundation/Trace.h"
#include "support/ExpectCode.h"

namespace {

// Hashes a key to the number it spells (ignoring what follows a space), so tests can aim at buckets.
template <typename V>
class NumberKey : public Map<wstring, V>::HashKey {
public:
    int hash(const wstring& key) const override
    {
        if (key.equals(L"min"))
            return INT_MIN;
        int space = key.find(L" ");
        return (space < 0 ? key : key.left(space)).toInt();
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
    NumberKey<wstring> keyObject;
    Map<wstring, wstring> map(11, &keyObject);
    map.insert(L"3 a", L"1");
    map.insert(L"14 b", L"2");
    map.insert(L"4", L"3");
    Map<wstring, wstring>::Bucket* list = nullptr;
    ASSERT_TRUE(map.lookup(L"3 a", list));
    EXPECT_EQ(bucketKeys(list), (std::vector<std::wstring>{L"14 b", L"3 a"}));
    EXPECT_STREQ(map.find(L"3 a")->buffer(), L"1");
    EXPECT_STREQ(map.find(L"14 b")->buffer(), L"2");

    // Replacing keeps the node where it is.
    map.insert(L"3 a", L"4");
    map.lookup(L"14 b", list);
    EXPECT_EQ(bucketKeys(list), (std::vector<std::wstring>{L"14 b", L"3 a"}));
    EXPECT_STREQ(map.find(L"3 a")->buffer(), L"4");
}

TEST(Map, KeysAreEqualOnlyUnitForUnit)
{
    MapStringToString map;
    map.insert(L"ab", L"plain");
    EXPECT_FALSE(map.find(L"AB"));
    expectCode(ERROR_INVALID_PARAMETER, [&] { map.get(L"Ab"); });

    // The user's locale takes a soft hyphen or a combining accent for nothing, or for the letter it makes;
    // a key is still another key. All in one bucket, only the comparison can tell them apart.
    NumberKey<wstring> keyObject;
    Map<wstring, wstring> bucket(11, &keyObject);
    const wchar_t* const alike[] = {L"1 ab", L"1 a\u00adb", L"1 \u00e9", L"1 e\u0301"};
    for (const wchar_t* key : alike)
        bucket.insert(key, key);
    for (const wchar_t* key : alike)
        EXPECT_STREQ(bucket.find(key) ? bucket.find(key)->buffer() : L"none", key);
}

TEST(Map, GrowsWithItsKeysAndFindsEachOfThem)
{
    MapStringToString map;
    for (int i = 0; i < 5000; ++i)
        map.insert(wstring(L"Path") + wstring::fromInt(i), wstring::fromInt(i));
    EXPECT_EQ(map.count(), 5000);
    EXPECT_GE(map.bucketCount(), 2500);
    for (int i = 0; i < 5000; ++i)
        EXPECT_EQ(map.get(wstring(L"Path") + wstring::fromInt(i)).toInt(), i);
    // Keys of the same letters in other orders, which a plain sum of the units would put in one bucket.
    MapStringToString anagrams;
    std::wstring letters = L"abcdefg";
    do {
        anagrams.insert(letters.c_str(), letters.c_str());
    } while (std::next_permutation(letters.begin(), letters.end()));
    int longest = 0;
    do {
        Map<wstring, wstring>::Bucket* list = nullptr;
        ASSERT_TRUE(anagrams.lookup(letters.c_str(), list));
        longest = std::max(longest, list->count());
    } while (std::next_permutation(letters.begin(), letters.end()));
    EXPECT_LE(longest, 12);
}

TEST(Map, GrowingWithoutMemoryLeavesTheMapAsItWas)
{
    MapStringToString map;
    for (int i = 0; i < 22; ++i)
        map.insert(wstring::fromInt(i), wstring::fromInt(i));
    ASSERT_EQ(map.bucketCount(), 11);
    wstring key(L"22");
    {
        // The new key's node is had, the larger bucket table is not.
        InjectedFailure failure(1);
        map.insert(key, key);
    }
    EXPECT_EQ(map.bucketCount(), 11);
    EXPECT_EQ(map.count(), 23);
    map.insert(L"23", L"23");
    EXPECT_GT(map.bucketCount(), 11);
    for (int i = 0; i <= 23; ++i)
        EXPECT_TRUE(map.find(wstring::fromInt(i))) << i;
}

TEST(Map, BucketIsTheHashMagnitudeModuloTheCount)
{
    NumberKey<int> keyObject;
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
