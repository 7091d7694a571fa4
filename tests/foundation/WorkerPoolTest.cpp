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

// The works that began and ended, and the gate that holds them until the test opens it.
struct Probe {
    CriticalSection lock;
    std::vector<int> started, ended;
    DWORD droppedOn = 0;
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Probe() { CloseHandle(gate); }
    std::vector<int> of(const std::vector<int>& list)
    {
        CriticalSectionLock hold(lock);
        return list;
    }
};

struct Job {
    HWND window = nullptr;
    UINT message = 0;
    int id = 0;
    Probe* probe = nullptr;
};

// Tells the probe on which thread the result went.
struct Outcome {
    int id = 0;
    std::shared_ptr<Probe> tell;
};

void gatedWork(const Job& job, Outcome& outcome)
{
    Probe& probe = *job.probe;
    {
        CriticalSectionLock hold(probe.lock);
        probe.started.push_back(job.id);
    }
    WaitForSingleObject(probe.gate, 10000);
    outcome = {job.id, std::shared_ptr<Probe>(&probe, [](Probe* told) { told->droppedOn = GetCurrentThreadId(); })};
    CriticalSectionLock hold(probe.lock);
    probe.ended.push_back(job.id);
}

using Slot = NewestRequestSlot<Job, Outcome>;

HWND messageWindow()
{
    return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// The numbers told to the window.
std::vector<WPARAM> told(HWND window)
{
    std::vector<WPARAM> numbers;
    MSG message;
    while (PeekMessageW(&message, window, DoneMessage, DoneMessage, PM_REMOVE))
        numbers.push_back(message.wParam);
    return numbers;
}

} // namespace

// Whatever comes while a request is worked on, only the newest is answered, once; the window that goes hands the
// work under way to the next, or lets its result go on the pool's thread.
TEST(NewestRequestSlot, OnlyTheNewestIsAnsweredNothingAfterForgetOrStopAndAWindowHandsItsWorkOn)
{
    enum Then { Newer, SameKey, Forget, Stop, HandOver, Abandon };
    const struct {
        const char* what;
        Then then;
        std::vector<int> ran;
        int answered; // 0: none
    } cases[] = {{"newer requests", Newer, {1, 3}, 3},
                 {"a newer one of the same key", SameKey, {1}, 1},
                 {"forget", Forget, {1}, 0},
                 {"stop", Stop, {1}, 0},
                 {"handed to another window", HandOver, {1}, 1},
                 {"its window gone", Abandon, {1}, 0}};
    for (const auto& test : cases) {
        WorkerPool pool(2);
        Probe probe;
        HWND first = messageWindow(), second = messageWindow();
        Slot slot(pool, &gatedWork);
        const wchar_t* key = test.then == SameKey ? L"k" : L"";
        WPARAM newest = slot.submit({first, DoneMessage, 1, &probe}, key);
        ASSERT_TRUE(pollUntil([&] { return !probe.of(probe.started).empty(); })) << test.what;
        if (test.then == Newer) {
            slot.submit({first, DoneMessage, 2, &probe});
            newest = slot.submit({first, DoneMessage, 3, &probe});
        } else if (test.then == SameKey) {
            newest = slot.submit({first, DoneMessage, 2, &probe}, key);
        } else if (test.then == Forget) {
            slot.forget();
        } else if (test.then == Stop) {
            slot.stop();
        } else {
            EXPECT_TRUE(slot.detach()) << test.what;
            if (test.then == HandOver) {
                EXPECT_EQ(slot.adopt(second, DoneMessage), newest) << test.what;
            }
        }
        SetEvent(probe.gate);
        ASSERT_TRUE(pollUntil([&] { return probe.of(probe.ended).size() == test.ran.size(); })) << test.what;
        // Its end waits for the work under way, which tells the window before it ends.
        pool.stop();
        EXPECT_EQ(probe.of(probe.started), test.ran) << test.what;
        std::vector<WPARAM> numbers = told(test.then == HandOver ? second : first);
        Outcome outcome;
        if (test.answered) {
            EXPECT_EQ(numbers, std::vector<WPARAM>{newest}) << test.what << ": told once, of the newest";
            EXPECT_TRUE(slot.take(newest, outcome) && outcome.id == test.answered) << test.what;
        } else {
            EXPECT_TRUE(numbers.empty() && !slot.take(newest, outcome)) << test.what << ": nothing told";
            EXPECT_NE(probe.droppedOn, GetCurrentThreadId()) << test.what << ": the result went on the pool";
        }
        DestroyWindow(first);
        DestroyWindow(second);
    }
}

// The first requests hold the pool's threads, then more come and the gate opens: the rest run newest first, and a
// file's second request waits for its first even while a thread is free.
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
        HWND window = messageWindow();
        std::vector<std::unique_ptr<Slot>> slots;
        for (size_t i = 0; i < test.keys.size(); ++i) {
            slots.push_back(std::make_unique<Slot>(pool, &gatedWork));
            slots.back()->submit({window, DoneMessage, static_cast<int>(i) + 1, &probe}, test.keys[i]);
            if (i == 0) {
                ASSERT_TRUE(pollUntil([&] { return probe.of(probe.started).size() == 1; })) << test.what;
            }
        }
        ASSERT_TRUE(pollUntil([&] { return probe.of(probe.started).size() == test.holding; })) << test.what;
        EXPECT_LE(pool.threadCount(), test.threads) << test.what;
        SetEvent(probe.gate);
        ASSERT_TRUE(pollUntil([&] { return probe.of(probe.started).size() == test.started.size(); })) << test.what;
        pool.stop();
        EXPECT_EQ(probe.of(probe.started), test.started) << test.what;
        slots.clear();
        DestroyWindow(window);
    }
}
