#pragma once
#include <windows.h>

// Owner of one CRITICAL_SECTION; the owning thread may enter it again.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    virtual ~CriticalSection() { DeleteCriticalSection(&section); }

    void enter() { EnterCriticalSection(&section); }
    void leave() { LeaveCriticalSection(&section); }

    CRITICAL_SECTION section;
};

// Holds a critical section until the end of the scope, exceptions included.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& lock) : lock(lock) { lock.enter(); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;
    ~CriticalSectionLock() { lock.leave(); }

private:
    CriticalSection& lock;
};
