#pragma once
#include <windows.h>

// What both worker-thread bases keep of their thread: the handle, the identifier and the run flag. The run flag
// is the only field that the thread reads while the owner may write it, so it changes only through interlocked
// compare-exchange. Every operation except isRunning belongs to the owning thread.
class ThreadState {
public:
    ThreadState() = default;
    ThreadState(const ThreadState&) = delete;
    ThreadState& operator=(const ThreadState&) = delete;

    bool isHeld() const { return handle != nullptr; }
    // 1 while the body is asked to run; the body polls it.
    bool isRunning() const;
    // Asks the body to finish; it ends when it next polls the flag.
    void requestStop();
    // Sets the flag before a thread is created, so that the body never sees it clear at its start.
    void prepareRun();
    // Keeps a newly created thread; a failed creation (null handle) puts the flag back and gives false.
    bool adopt(HANDLE thread, DWORD threadId);
    // 0 at once when no thread is held. Otherwise waits without limit (after clearing the flag when asked),
    // releases the handle and gives the thread's exit code (0 when it cannot be read).
    DWORD join(bool clearFlag);

private:
    HANDLE handle = nullptr;
    DWORD id = 0;
    mutable volatile LONG runFlag = 0;
};
