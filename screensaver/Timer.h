#pragma once
#include <windows.h>
#include "foundation/Thread.h"

// Posts the animation's tick to a window at a steady interval from a thread of its own. A tick that falls due
// while the window is still handling the previous one is dropped, so a slow machine shows fewer steps rather
// than a growing queue.
class Timer {
public:
    static constexpr UINT TickMessage = WM_APP + 1;
    static constexpr DWORD Interval = 33;

    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer() { stop(); }

    // Stops a running thread first. A null window gives false with last error 87.
    bool start(HWND window);
    void stop();

    // The window brackets its handling of a tick with these.
    void beginTick() { thread.setReady(false); }
    void endTick() { thread.setReady(true); }
    bool isReady() const { return thread.isReady(); }

private:
    class TimerThread : public Thread {
    public:
        ~TimerThread() override { stopThread(); }
        void setReady(bool ready);
        bool isReady() const;

        HWND window = nullptr;
        UINT message = TickMessage;
        DWORD interval = Interval;
        int count = 1;

    protected:
        DWORD run(void* argument) override;

    private:
        mutable volatile LONG ready = 0;
    };

    TimerThread thread;
};

// Holds the timer's ticks back while one is handled, also when the handling throws.
class TickScope {
public:
    explicit TickScope(Timer& timer) : timer(timer) { timer.beginTick(); }
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
    ~TickScope() { timer.endTick(); }

private:
    Timer& timer;
};
