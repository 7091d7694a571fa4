#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "InjectedFailure.h"
#include "Probe.h"
#include "foundation/GenericArray.h"
#include "foundation/ObjectArray.h"
#include "foundation/Ptrs.h"
#include "support/ExpectCode.h"

namespace {

std::vector<int> idsOf(const ObjectArray<Probe>& array)
{
    std::vector<int> ids;
    for (int i = 0; i < array.count(); ++i)
        ids.push_back(array.at(i)->id);
    return ids;
}

} // namespace

// No spare capacity: every addition needs a new block, so an injected failure hits each one of them.
TEST(ObjectArray, EveryAddReallocatesAndAFailedAddDeletesTheElement)
{
    std::vector<int> log;
    ObjectArray<Probe> array;
    for (int i = 0; i < 4; ++i) {
        {
            InjectedFailure failure(0);
            SetLastError(0);
            EXPECT_FALSE(array.add(new Probe(100 + i, log)));
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        }
        EXPECT_EQ(log.back(), 100 + i);
        EXPECT_EQ(array.count(), i);
        EXPECT_TRUE(array.add(new Probe(i, log)));
    }
    EXPECT_EQ(idsOf(array), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(log.size(), 4u);
}

TEST(ObjectArray, RemovalShrinksByOneSlotAndKeepsOrder)
{
    std::vector<int> log;
    ObjectArray<Probe> array;
    for (int i = 0; i < 3; ++i)
        array.add(new Probe(i, log));
    {
        // The smaller block takes the injected failure; the removal goes through all the same.
        InjectedFailure failure(0);
        EXPECT_TRUE(array.removeAt(1));
        EXPECT_TRUE(array.add(new Probe(3, log)));
    }
    EXPECT_EQ(log, (std::vector<int>{1}));
    EXPECT_EQ(idsOf(array), (std::vector<int>{0, 2, 3}));

    array.removeAt(2);
    array.removeAt(0);
    EXPECT_TRUE(array.removeAt(0));
    EXPECT_EQ(array.count(), 0);
    {
        // The last slot's block was freed, not shrunk, so the pending failure meets the next add.
        InjectedFailure failure(0);
        EXPECT_FALSE(array.add(new Probe(4, log)));
    }
    EXPECT_TRUE(array.add(new Probe(5, log)));
    EXPECT_EQ(idsOf(array), (std::vector<int>{5}));
}

TEST(ObjectArray, BadArgumentsChangeNothing)
{
    std::vector<int> log;
    ObjectArray<Probe> array;
    array.add(new Probe(0, log));
    SetLastError(0);
    EXPECT_FALSE(array.add(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(array.removeAt(1));
    EXPECT_FALSE(array.removeAt(-1));
    SetLastError(0);
    expectCode(ERROR_INVALID_PARAMETER, [&] { array.at(1); });
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(idsOf(array), (std::vector<int>{0}));
    EXPECT_TRUE(log.empty());

    Array<Probe*> slots;
    EXPECT_FALSE(slots.setSize(-1));
    EXPECT_TRUE(slots.setSize(3));
    EXPECT_EQ(slots.at(2), nullptr);
}

TEST(ObjectArray, OnlyAnOwningArrayDeletes)
{
    std::vector<int> log;
    auto kept = std::make_unique<Probe>(7, log);
    {
        ObjectArray<Probe> borrowed(false);
        borrowed.add(kept.get());
        InjectedFailure failure(0);
        EXPECT_FALSE(borrowed.add(kept.get()));
    }
    {
        ObjectArray<Probe> owning;
        owning.add(new Probe(1, log));
        owning.removeAll();
        owning.add(new Probe(2, log));
    }
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
}

TEST(GenericArray, HoldsCopiesAndFailsWithoutChange)
{
    GenericArray<int> values;
    int source = 5;
    values.add(source);
    source = 6;
    values.add(source);
    {
        InjectedFailure failure(0);
        expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { values.add(7); });
    }
    ASSERT_EQ(values.count(), 2);
    EXPECT_EQ(values.at(0), 5);
    EXPECT_EQ(values.at(1), 6);
    EXPECT_TRUE(values.removeAt(0));
    EXPECT_FALSE(values.removeAt(1));
    EXPECT_EQ(values.at(0), 6);
}

TEST(Ptrs, DeletesInIndexOrderAndTakesAFailedObject)
{
    std::vector<int> log;
    {
        Ptrs<Probe> list;
        list.add(new Probe(1, log));
        list.add(new Probe(2, log));
        {
            InjectedFailure failure(0);
            EXPECT_THROW(list.add(new Probe(9, log)), Exception);
        }
        EXPECT_EQ(log, (std::vector<int>{9}));
        EXPECT_EQ(list.count(), 2);
        list.add(new Probe(3, log));
    }
    EXPECT_EQ(log, (std::vector<int>{9, 1, 2, 3}));
}
