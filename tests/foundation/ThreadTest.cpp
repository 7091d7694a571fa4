#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>
#include "foundation/CriticalSection.h"
#include "foundation/SafeThread.h"
#include "foundation/Thread.h"

namespace {

// What the bodies did, in order; the lock also lets the test read it safely.
struct EventLog {
    CriticalSection lock;
    std::vector<std::string> events;

    void note(const std::string& event)
    {
        CriticalSectionLock hold(lock);
        events.push_back(event);
    }
};

// Runs until asked to stop and returns its argument as the exit code. Works on either base.
template <typename Base>
class Looper : public Base {
public:
    explicit Looper(EventLog& log) : log(log) {}
    ~Looper() override
    {
        this->stopThread();
        CloseHandle(started);
    }
    void startAndWait(std::intptr_t tag)
    {
        ASSERT_TRUE(this->start(reinterpret_cast<void*>(tag)));
        WaitForSingleObject(started, INFINITE);
    }

protected:
    DWORD Run(void* argument) { return loop(argument); }
    DWORD run(void* argument) { return loop(argument); }

private:
    DWORD loop(void* argument)
    {
        std::string tag = std::to_string(reinterpret_cast<std::intptr_t>(argument));
        log.note(tag + " began");
        SetEvent(started);
        while (this->isRunning())
            Sleep(1);
        // Still using members after the stop request: the destructor must wait for this.
        Sleep(20);
        log.note(tag + " stopped");
        return static_cast<DWORD>(reinterpret_cast<std::intptr_t>(argument));
    }

    EventLog& log;
    HANDLE started = CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

// Ends by itself and notes whether it had been asked to stop by then.
class ShortJob : public SafeThread {
public:
    ~ShortJob() override { stopThread(); }
    bool stillRunningAtEnd = false;

protected:
    DWORD Run(void*) override
    {
        Sleep(30);
        stillRunningAtEnd = isRunning();
        return 0x12345678;
    }
};

using Events = std::vector<std::string>;

} // namespace

TEST(SafeThread, SecondStartStopsTheFirstBodyFirst)
{
    EventLog log;
    Looper<SafeThread> looper(log);
    looper.startAndWait(1);
    looper.startAndWait(2);
    EXPECT_EQ(looper.join(true), 2u);
    EXPECT_FALSE(looper.isHeld());
    EXPECT_FALSE(looper.isRunning());
    EXPECT_EQ(log.events, (Events{"1 began", "1 stopped", "2 began", "2 stopped"}));
}

TEST(SafeThread, JoinWithoutClearingWaitsForABodyThatEndsByItself)
{
    ShortJob job;
    EXPECT_EQ(job.join(true), 0u);
    ASSERT_TRUE(job.start(nullptr));
    EXPECT_EQ(job.join(false), 0x12345678u);
    EXPECT_TRUE(job.stillRunningAtEnd);
    EXPECT_EQ(job.join(false), 0u);
}

TEST(SafeThread, DestructorWaitsForTheBodyBeforeMembersGo)
{
    EventLog log;
    {
        Looper<SafeThread> looper(log);
        looper.startAndWait(3);
        log.note("destroying");
    }
    log.note("destroyed");
    EXPECT_EQ(log.events, (Events{"3 began", "destroying", "3 stopped", "destroyed"}));
}

TEST(Thread, WaitStopsTheBodyAndGivesItsExitCode)
{
    EventLog log;
    Looper<Thread> looper(log);
    EXPECT_EQ(looper.wait(), 0u);
    looper.startAndWait(7);
    looper.startAndWait(9);
    EXPECT_EQ(looper.wait(), 9u);
    EXPECT_EQ(looper.wait(), 0u);
    EXPECT_EQ(log.events, (Events{"7 began", "7 stopped", "9 began", "9 stopped"}));
}

TEST(CriticalSection, ExcludesTheOtherThread)
{
    struct Counter : SafeThread {
        CriticalSection& lock;
        int& total;
        Counter(CriticalSection& lock, int& total) : lock(lock), total(total) {}
        ~Counter() override { stopThread(); }
        DWORD Run(void*) override
        {
            for (int i = 0; i < 200000; ++i) {
                CriticalSectionLock hold(lock);
                int seen = total;
                total = seen + 1;
            }
            return 0;
        }
    };
    CriticalSection lock;
    int total = 0;
    {
        Counter first(lock, total);
        Counter second(lock, total);
        ASSERT_TRUE(first.start(nullptr) && second.start(nullptr));
    }
    EXPECT_EQ(total, 400000);
}
