#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "foundation/CriticalSection.h"
#include "foundation/NewestRequestSlot.h"
#include "foundation/WorkerPool.h"
#include "support/pollUntil.h"

namespace {

constexpr UINT DoneMessage = WM_APP + 7;

// What the works did, and the gate that holds them until the test opens it.
struct Probe {
    CriticalSection lock;
    std::vector<int> started;
    std::vector<int> ended;
    int running = 0;
    int mostAtOnce = 0;
    DWORD droppedOn = 0;
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    ~Probe() { CloseHandle(gate); }
    void open() { SetEvent(gate); }
    std::vector<int> startedSoFar()
    {
        CriticalSectionLock hold(lock);
        return started;
    }
    bool hasEnded(int id)
    {
        CriticalSectionLock hold(lock);
        return std::find(ended.begin(), ended.end(), id) != ended.end();
    }
};

// Tells the probe on which thread the result it belongs to went.
struct Token {
    Probe* probe;
    ~Token()
    {
        CriticalSectionLock hold(probe->lock);
        probe->droppedOn = GetCurrentThreadId();
    }
};

struct Job {
    HWND window = nullptr;
    UINT message = 0;
    int id = 0;
    Probe* probe = nullptr;
};

struct Outcome {
    int id = 0;
    std::shared_ptr<Token> token;
};

void gatedWork(const Job& job, Outcome& outcome)
{
    Probe& probe = *job.probe;
    {
        CriticalSectionLock hold(probe.lock);
        probe.started.push_back(job.id);
        probe.mostAtOnce = std::max(probe.mostAtOnce, ++probe.running);
    }
    WaitForSingleObject(probe.gate, 10000);
    outcome = {job.id, std::make_shared<Token>(Token{&probe})};
    CriticalSectionLock hold(probe.lock);
    --probe.running;
    probe.ended.push_back(job.id);
}

using Slot = NewestRequestSlot<Job, Outcome>;

// A window of the test's thread that only receives, and the numbers of the results told to it.
class Receiver {
public:
    Receiver() : window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;
    ~Receiver() { DestroyWindow(window); }

    std::vector<WPARAM> told()
    {
        std::vector<WPARAM> numbers;
        MSG message;
        while (PeekMessageW(&message, window, DoneMessage, DoneMessage, PM_REMOVE))
            numbers.push_back(message.wParam);
        return numbers;
    }
    bool waitForOne()
    {
        MSG message;
        return pollUntil([&] { return PeekMessageW(&message, window, DoneMessage, DoneMessage, PM_NOREMOVE) != 0; });
    }

    const HWND window;
};

} // namespace

// Whatever comes while a request is worked on, only the newest is answered, once; the window that goes hands the
// work under way to the next, or lets its result go on the pool's thread.
TEST(NewestRequestSlot, OnlyTheNewestIsAnsweredNothingAfterForgetOrStopAndAWindowHandsItsWorkOn)
{
    enum Then { Newer, SameKey, Forget, Stop, HandOver, Abandon };
    const struct {
        const char* what;
        Then then;
        std::vector<int> ran; // the works that ran, in order
        int answered;         // the id whose result is taken, 0 for none
    } cases[] = {{"newer requests", Newer, {1, 3}, 3},
                 {"a newer one of the same key", SameKey, {1}, 1},
                 {"forget", Forget, {1}, 0},
                 {"stop", Stop, {1}, 0},
                 {"handed to another window", HandOver, {1}, 1},
                 {"its window gone", Abandon, {1}, 0}};
    for (const auto& test : cases) {
        WorkerPool pool(2);
        Probe probe;
        Receiver first;
        Receiver second;
        auto slot = std::make_unique<Slot>(pool, &gatedWork);
        WPARAM newest = slot->submit({first.window, DoneMessage, 1, &probe}, test.then == SameKey ? L"k" : L"");
        ASSERT_TRUE(pollUntil([&] { return !probe.startedSoFar().empty(); })) << test.what;
        Receiver* told = &first;
        switch (test.then) {
        case Newer:
            slot->submit({first.window, DoneMessage, 2, &probe});
            newest = slot->submit({first.window, DoneMessage, 3, &probe});
            break;
        case SameKey:
            newest = slot->submit({first.window, DoneMessage, 2, &probe}, L"k");
            break;
        case Forget:
            slot->forget();
            break;
        case Stop:
            slot->stop();
            break;
        case HandOver:
            EXPECT_TRUE(slot->detach()) << test.what;
            EXPECT_EQ(slot->adopt(second.window, DoneMessage), newest) << test.what;
            told = &second;
            break;
        case Abandon:
            EXPECT_TRUE(slot->detach()) << test.what;
            break;
        }
        probe.open();
        ASSERT_TRUE(pollUntil([&] { return probe.hasEnded(test.ran.back()); })) << test.what;
        if (test.answered)
            ASSERT_TRUE(told->waitForOne()) << test.what;
        pool.stop();
        EXPECT_EQ(probe.startedSoFar(), test.ran) << test.what;
        std::vector<WPARAM> numbers = first.told();
        std::vector<WPARAM> handed = second.told();
        numbers.insert(numbers.end(), handed.begin(), handed.end());
        Outcome outcome;
        if (test.answered) {
            EXPECT_EQ(numbers, std::vector<WPARAM>{newest}) << test.what << ": told once, of the newest";
            EXPECT_TRUE(slot->take(newest, outcome)) << test.what;
            EXPECT_EQ(outcome.id, test.answered) << test.what;
        } else {
            EXPECT_TRUE(numbers.empty()) << test.what << ": nothing told";
            EXPECT_FALSE(slot->take(newest, outcome)) << test.what;
            EXPECT_NE(probe.droppedOn, GetCurrentThreadId()) << test.what << ": the result went on the pool";
        }
    }
}

// Nothing to do: a task that shows from outside whether the pool still takes work.
struct Idle : WorkerPool::Task {
    void run() override {}
};

// Each case holds the pool's threads with the first requests, then asks for more and opens the gate: the rest run
// newest first, and a file's second request waits for its first even while a thread is free.
TEST(WorkerPool, RunsTheNewestFirstAndNeverTwoOfOneFileAtOnce)
{
    const struct {
        const char* what;
        int threads;
        std::vector<const wchar_t*> keys; // of requests 1, 2, ...
        size_t holding;                   // how many run before the gate opens
        std::vector<int> started;
    } cases[] = {{"newest first", 1, {L"a", L"b", L"c", L"d"}, 1, {1, 4, 3, 2}},
                 {"a file once at a time", 2, {L"a", L"a", L"b"}, 2, {1, 3, 2}}};
    for (const auto& test : cases) {
        WorkerPool pool(test.threads);
        Probe probe;
        Receiver receiver;
        std::vector<std::unique_ptr<Slot>> slots;
        for (size_t i = 0; i < test.keys.size(); ++i) {
            slots.push_back(std::make_unique<Slot>(pool, &gatedWork));
            slots.back()->submit({receiver.window, DoneMessage, static_cast<int>(i) + 1, &probe}, test.keys[i]);
            if (i == 0)
                ASSERT_TRUE(pollUntil([&] { return probe.startedSoFar().size() == 1; })) << test.what;
        }
        ASSERT_TRUE(pollUntil([&] { return probe.startedSoFar().size() == test.holding; })) << test.what;
        probe.open();
        ASSERT_TRUE(pollUntil([&] { return probe.startedSoFar().size() == test.keys.size(); })) << test.what;
        EXPECT_EQ(probe.startedSoFar(), test.started) << test.what;
        EXPECT_LE(probe.mostAtOnce, test.threads) << test.what;
        EXPECT_LE(pool.threadCount(), test.threads) << test.what;
    }
}

// The pool's end waits for the work under way and drops what has not begun.
TEST(WorkerPool, StopWaitsForTheWorkUnderWayAndDropsTheRest)
{
    WorkerPool pool(2);
    Probe probe;
    Receiver receiver;
    std::vector<std::unique_ptr<Slot>> slots;
    for (int id = 1; id <= 3; ++id) {
        slots.push_back(std::make_unique<Slot>(pool, &gatedWork));
        slots.back()->submit({receiver.window, DoneMessage, id, &probe});
        if (id == 2)
            ASSERT_TRUE(pollUntil([&] { return probe.startedSoFar().size() == 2; }));
    }
    // Opens the gate once the pool has begun to stop, which it shows by taking no more work.
    struct Opener {
        WorkerPool& pool;
        HANDLE gate;
    } opener{pool, probe.gate};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* argument) -> DWORD {
            auto* opener = static_cast<Opener*>(argument);
            while (opener->pool.queue(std::make_shared<Idle>(), L""))
                Sleep(1);
            SetEvent(opener->gate);
            return 0;
        },
        &opener, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    pool.stop();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(probe.hasEnded(1) && probe.hasEnded(2)) << "the work under way ended first";
    EXPECT_EQ(probe.startedSoFar().size(), 2u) << "the third never ran";
    EXPECT_TRUE(receiver.told().size() <= 2u);
}
