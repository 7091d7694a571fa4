#pragma once
#include <windows.h>
#include "foundation/ThreadState.h"

// Base of the program's worker threads (run through the C runtime's thread start). The derived class supplies
// the body Run, which polls isRunning and returns the thread's exit code when asked to stop or when done.
//
// Destruction rule: the thread must have ended before any member of the derived class is destroyed. C++
// destroys the derived part first, so the base destructor is too late: a body still running then uses dead
// members. Every derived class therefore calls stopThread() first thing in its own destructor (or its owner
// calls join before destroying it):
//
//     ListFeeder::~ListFeeder() { stopThread(); }
//
// The base destructor stops a thread that is still held only as a last safety net.
class SafeThread {
public:
    SafeThread() = default;
    SafeThread(const SafeThread&) = delete;
    SafeThread& operator=(const SafeThread&) = delete;
    virtual ~SafeThread();

    // Stops and waits for a thread still held, then starts a new one that calls Run(argument).
    // False, with the run flag cleared, when the thread cannot be created.
    bool start(void* argument);
    // Waits for the thread (after asking it to stop when clearFlag is set) and gives its exit code;
    // 0 at once when no thread is held.
    DWORD join(bool clearFlag);
    // Asks the body to finish without waiting for it.
    void requestStop() { state.requestStop(); }
    bool isRunning() const { return state.isRunning(); }
    bool isHeld() const { return state.isHeld(); }

protected:
    // The thread body. It must not call start, join or stopThread on its own object.
    virtual DWORD Run(void* argument) = 0;
    // Asks the body to stop and waits for it: what derived destructors call before their members go.
    DWORD stopThread() { return join(true); }

private:
    struct StartRecord {
        SafeThread* object;
        void* argument;
    };
    static unsigned __stdcall routine(void* parameter);

    ThreadState state;
    StartRecord record{nullptr, nullptr};
};
