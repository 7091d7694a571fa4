#pragma once
#include <windows.h>

// Owner of one Win32 mutex handle.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    ~Mutex();

    // Creates (or opens, when the name exists) an unowned mutex; null makes an unnamed one. Throws on failure.
    // Right after it the last error tells whether another process made the named mutex first (183).
    void create(const wchar_t* name);
    // Waits without limit. An abandoned mutex is owned by the caller all the same, so that counts as acquired.
    bool acquire();
    void release();
    HANDLE handle() const { return mutex; }

private:
    void close();
    HANDLE mutex = nullptr;
};

// Holds a mutex from construction to the end of the scope, exceptions included.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : mutex(mutex), owned(mutex.acquire()) {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    ~MutexLock()
    {
        if (owned)
            mutex.release();
    }
    bool isOwned() const { return owned; }

private:
    Mutex& mutex;
    bool owned;
};
