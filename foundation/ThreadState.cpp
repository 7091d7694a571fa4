#include "foundation/ThreadState.h"

bool ThreadState::isRunning() const
{
    return InterlockedCompareExchange(&runFlag, 0, 0) == 1;
}

void ThreadState::requestStop()
{
    InterlockedCompareExchange(&runFlag, 0, 1);
}

void ThreadState::prepareRun()
{
    InterlockedCompareExchange(&runFlag, 1, 0);
}

bool ThreadState::adopt(HANDLE thread, DWORD threadId)
{
    if (!thread) {
        requestStop();
        return false;
    }
    handle = thread;
    id = threadId;
    return true;
}

DWORD ThreadState::join(bool clearFlag)
{
    if (!handle)
        return 0;
    if (clearFlag)
        requestStop();
    WaitForSingleObject(handle, INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeThread(handle, &exitCode))
        exitCode = 0;
    CloseHandle(handle);
    handle = nullptr;
    id = 0;
    // The thread has ended, so nothing reads the flag any more: an idle object always reads as stopped.
    requestStop();
    return exitCode;
}
