#pragma once
// Processor time, for bounds that must hold on a machine busy with other tests: unlike the clock, it does not
// grow while a thread waits for a processor.
#include <windows.h>

inline double processorSeconds(const FILETIME& kernel, const FILETIME& user)
{
    auto ticks = [](const FILETIME& time) {
        return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 1e7;
}

// The processor time the calling thread has used so far, in seconds.
inline double threadProcessorSeconds()
{
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    return processorSeconds(kernel, user);
}

// The processor time all threads of the process have used so far, in seconds.
inline double processProcessorSeconds(HANDLE process = GetCurrentProcess())
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return processorSeconds(kernel, user);
}
