#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>
#include "foundation/CriticalSection.h"
#include "foundation/Exception.h"
#include "foundation/SafeThread.h"

// A thread of a window's own for work that takes too long for the window's thread (decoding, scaling), of which
// only the newest request counts: one not yet begun gives way to the next, and one under way when a newer
// request (or forget) comes runs to its end, its result dropped; the work cannot be stopped halfway. Requests
// run one after another, so a dropped one never holds its memory beside the next. When the newest is done, the
// thread posts the request's `message` to its `window` with the request's number as wParam, and the window's
// thread takes the result. Every call but the thread's own belongs to the window's thread.
//
// The derived class does the work and calls stop() first thing in its destructor (SafeThread's rule).
template <typename Request, typename Result>
class NewestRequestThread : private SafeThread {
public:
    NewestRequestThread() : wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
    {
        if (!wake)
            Exception::throwLastError();
    }
    ~NewestRequestThread() override
    {
        stop();
        CloseHandle(wake);
    }

    // Starts the thread on the first request and gives the request's number; a thread that cannot be made
    // throws Exception with the system's error.
    WPARAM submit(const Request& request)
    {
        Result stale;
        WPARAM number;
        {
            CriticalSectionLock hold(lock);
            if (stopped)
                return 0;
            waiting = request;
            hasRequest = true;
            number = ++newest;
            stale = std::exchange(result, Result());
            hasResult = false;
        }
        if (!isHeld() && !start(nullptr)) {
            DWORD error = GetLastError();
            forget();
            throw Exception(error ? static_cast<int>(error) : ErrorCode::NoMemory);
        }
        SetEvent(wake);
        return number;
    }
    // Drops every request made so far, the result of one waiting to be taken included.
    void forget()
    {
        Result stale;
        CriticalSectionLock hold(lock);
        ++newest;
        hasRequest = false;
        waiting = Request();
        stale = std::exchange(result, Result());
        hasResult = false;
    }
    // On the message: true, with the result, when it answers the newest request.
    bool take(WPARAM number, Result& taken)
    {
        CriticalSectionLock hold(lock);
        if (!hasResult || number != newest)
            return false;
        taken = std::exchange(result, Result());
        hasResult = false;
        return true;
    }
    // Forgets, then waits for the work under way; no request is taken afterwards. For the window's end.
    void stop()
    {
        {
            CriticalSectionLock hold(lock);
            stopped = true;
        }
        forget();
        requestStop();
        SetEvent(wake);
        join(true);
    }
    // While work runs on the thread, which a forgotten request's still does to its end.
    bool isWorking()
    {
        CriticalSectionLock hold(lock);
        return working;
    }

protected:
    // On the thread, with COM started for it; nothing may be thrown out of it.
    virtual void work(const Request& request, Result& result) = 0;

private:
    DWORD Run(void*) override
    {
        HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        Request request;
        WPARAM number = 0;
        while (WaitForSingleObject(wake, INFINITE) == WAIT_OBJECT_0 && isRunning()) {
            while (takeRequest(request, number)) {
                Result done;
                if (SUCCEEDED(com))
                    work(request, done);
                deliver(number, request, done);
                // What the request holds goes here, on the thread, and not under the lock.
                request = Request();
            }
        }
        if (SUCCEEDED(com))
            CoUninitialize();
        return 0;
    }

    bool takeRequest(Request& request, WPARAM& number)
    {
        CriticalSectionLock hold(lock);
        if (!hasRequest || !isRunning())
            return false;
        request = std::exchange(waiting, Request());
        hasRequest = false;
        number = newest;
        working = true;
        return true;
    }

    // A result that is not handed over stays the caller's, to be deleted once the lock is left.
    void deliver(WPARAM number, const Request& request, Result& done)
    {
        CriticalSectionLock hold(lock);
        working = false;
        if (number != newest || !isRunning())
            return;
        result = std::exchange(done, Result());
        hasResult = true;
        PostMessageW(request.window, request.message, number, 0);
    }

    CriticalSection lock;
    // Set for each request and for the end.
    HANDLE wake;
    WPARAM newest = 0;
    bool stopped = false;
    bool hasRequest = false;
    bool working = false;
    Request waiting;
    // The newest request's result until the window's thread takes it.
    bool hasResult = false;
    Result result;
};
