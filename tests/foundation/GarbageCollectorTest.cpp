#include <gtest/gtest.h>
#include <vector>
#include "InjectedFailure.h"
#include "Probe.h"
#include "foundation/GCPtrs.h"
#include "support/ExpectCode.h"

namespace {

// A type without a virtual destructor: only a destructor object of its own type deletes it correctly.
struct Plain {
    explicit Plain(std::vector<int>& log) : log(log) {}
    ~Plain() { log.push_back(-1); }
    std::vector<int>& log;
};

std::vector<int> countDown(int from, int to)
{
    std::vector<int> ids;
    for (int id = from; id >= to; --id)
        ids.push_back(id);
    return ids;
}

} // namespace

TEST(GarbageCollector, CollectsReleasedObjectsInBatchesNewestFirst)
{
    std::vector<int> log;
    GarbageCollector collector;
    std::vector<Probe*> probes;
    for (int id = 0; id < 150; ++id)
        probes.push_back(collector.add(new Probe(id, log)));
    for (int id = 0; id < 99; ++id)
        EXPECT_EQ(collector.release(probes[id]), 1);
    collector.add(new Probe(150, log));
    collector.release(probes[99]);
    EXPECT_TRUE(log.empty());

    collector.add(new Probe(151, log));
    EXPECT_EQ(log, countDown(99, 0));

    // The batch count starts again from zero: 50 more given back are not yet a batch.
    for (int id = 100; id < 150; ++id)
        collector.release(probes[id]);
    collector.add(new Probe(152, log));
    EXPECT_EQ(log.size(), 100u);
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(probes[120]); });
}

TEST(GarbageCollector, MisuseThrowsAndKeepsTheEntry)
{
    std::vector<int> log;
    GarbageCollector collector;
    Probe* probe = collector.add(new Probe(1, log));
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.add(probe); });
    EXPECT_TRUE(log.empty());
    expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { collector.add(static_cast<Probe*>(nullptr)); });
    Probe stranger(2, log);
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(&stranger); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.detach(&stranger); });

    EXPECT_EQ(collector.release(probe), 1);
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(probe); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.detach(probe); });
    EXPECT_TRUE(log.empty());
}

TEST(GarbageCollector, DestroysEverythingNewestFirstThroughEachType)
{
    std::vector<int> log;
    {
        GarbageCollector collector;
        collector.add(new Probe(1, log));
        collector.add(new Plain(log));
        collector.release(collector.add(new Probe(2, log)));
        collector.add(new Plain(log));
        collector.add(new Probe(3, log));
    }
    EXPECT_EQ(log, (std::vector<int>{3, -1, 2, -1, 1}));
}

TEST(GarbageCollector, AnObjectThatDetachesAnotherAsItGoesIsDestroyedOnce)
{
    // An owner of another registered object that takes it back from the collector when it goes.
    struct Owner : Probe {
        Owner(GarbageCollector& collector, Probe* owned, std::vector<int>& log)
            : Probe(0, log), collector(collector), owned(owned)
        {
        }
        ~Owner() override { delete collector.detach(owned); }
        GarbageCollector& collector;
        Probe* owned;
    };
    std::vector<int> log;
    {
        GarbageCollector collector;
        Probe* owned = collector.add(new Probe(1, log));
        collector.add(new Owner(collector, owned, log));
    }
    EXPECT_EQ(log, (std::vector<int>{1, 0}));
}

TEST(GarbageCollector, RegistrationWithoutMemoryDestroysTheObject)
{
    std::vector<int> log;
    GarbageCollector collector;
    {
        InjectedFailure failure(0);
        expectCode(ERROR_NOT_ENOUGH_MEMORY, [&] { collector.add(new Probe(1, log)); });
    }
    EXPECT_EQ(log, (std::vector<int>{1}));
    Probe* probe = collector.add(new Probe(2, log));
    EXPECT_EQ(collector.release(probe), 1);
}

TEST(GCPtrs, GivesBackWhatWasNeitherKeptNorDetached)
{
    std::vector<int> log;
    Probe* detached = nullptr;
    {
        GarbageCollector collector;
        Probe* released = nullptr;
        Probe* kept = nullptr;
        {
            GCPtrs scope(&collector);
            released = scope.add(new Probe(1, log));
            kept = scope.keep(scope.add(new Probe(2, log)));
            detached = scope.detach(scope.add(new Probe(3, log)));
            expectCode(ERROR_INVALID_PARAMETER, [&] { scope.keep(kept); });
        }
        expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(released); });
        expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(detached); });
        EXPECT_EQ(collector.release(kept), 1);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
    delete detached;
}

TEST(GCPtrs, EndsQuietlyWhenAReferenceWasGivenBackElsewhere)
{
    std::vector<int> log;
    GarbageCollector collector;
    Probe* first = nullptr;
    Probe* second = nullptr;
    {
        GCPtrs scope(&collector);
        first = scope.add(new Probe(1, log));
        second = scope.add(new Probe(2, log));
        collector.release(first);
    }
    expectCode(ERROR_INVALID_PARAMETER, [&] { collector.release(second); });
}
