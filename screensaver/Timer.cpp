#include "screensaver/Timer.h"

bool Timer::start(HWND window)
{
    stop();
    if (!window) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    thread.window = window;
    return thread.start(nullptr);
}

void Timer::stop()
{
    thread.wait();
}

void Timer::TimerThread::setReady(bool isReady)
{
    if (isReady)
        InterlockedCompareExchange(&ready, 1, 0);
    else
        InterlockedCompareExchange(&ready, 0, 1);
}

bool Timer::TimerThread::isReady() const
{
    return InterlockedCompareExchange(&ready, 1, 1) == 1;
}

DWORD Timer::TimerThread::run(void*)
{
    setReady(true);
    while (isRunning()) {
        for (int i = 0; i < count && isRunning(); ++i)
            Sleep(interval);
        if (!isRunning())
            break;
        if (isReady())
            PostMessageW(window, message, 0, 0);
    }
    return 0;
}
