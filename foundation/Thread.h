#pragma once
#include <windows.h>
#include "foundation/ThreadState.h"

// A lighter worker-thread base, started with the system's CreateThread; needs nothing of the library but
// ThreadState, so small programs can carry it alone. The derived class supplies the body run, which polls
// isRunning and returns the thread's exit code.
//
// Destruction rule, as for SafeThread: the thread must have ended before any member of the derived class is
// destroyed, so every derived class calls stopThread() first thing in its own destructor (or its owner calls
// wait first). The base destructor's wait is only a last safety net.
class Thread {
public:
    Thread() = default;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    virtual ~Thread();

    // Stops and waits for a thread still held, then starts a new one that calls run(argument).
    // False, with the run flag cleared, when the thread cannot be created.
    bool start(void* argument);
    // Asks the body to stop, waits for it and gives its exit code; 0 at once when no thread is held.
    DWORD wait() { return state.join(true); }
    void requestStop() { state.requestStop(); }
    bool isRunning() const { return state.isRunning(); }
    bool isHeld() const { return state.isHeld(); }

protected:
    // The thread body. It must not call start, wait or stopThread on its own object.
    virtual DWORD run(void* argument) = 0;
    // What derived destructors call before their members go.
    DWORD stopThread() { return wait(); }

private:
    struct StartRecord {
        Thread* object;
        void* argument;
    };
    static DWORD WINAPI routine(void* parameter);

    ThreadState state;
    StartRecord record{nullptr, nullptr};
};
