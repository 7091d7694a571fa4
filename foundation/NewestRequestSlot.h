#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <utility>
#include "foundation/CriticalSection.h"
#include "foundation/WorkerPool.h"

// A window's place on the worker pool for work too long for the window's thread (decoding, scaling), of which
// only the newest request counts. A request not yet begun gives way to the next; one under way when a newer
// request (or forget) comes runs to its end, its result dropped, since the work cannot be stopped halfway. A
// window's requests run one after another, so that a dropped one never holds its memory beside the next of the
// same window; across windows the pool bounds how many run at once. When the newest is done, the pool's thread
// posts the request's `message` to its `window` with the request's number as wParam, and the window's thread
// takes the result.
//
// A request may name a key (the file it reads): a newer request of the key of the one under way is answered by
// that one instead of running again, and the pool runs no two requests of one key at once.
//
// The window's end (stop, or the destructor) does not wait for the work under way: that goes on with what its
// request holds and its result is dropped on the pool's thread, which the pool's own stop waits for. Nothing is
// posted after stop. Every call but the work's own belongs to the window's thread.
template <typename Request, typename Result>
class NewestRequestSlot {
public:
    // Runs on a thread of the pool, with COM started for it; nothing may be thrown out of it.
    using Work = void (*)(const Request& request, Result& result);

    NewestRequestSlot(WorkerPool& pool, Work work) : pool(pool), state(std::make_shared<State>(work)) {}
    NewestRequestSlot(const NewestRequestSlot&) = delete;
    NewestRequestSlot& operator=(const NewestRequestSlot&) = delete;
    virtual ~NewestRequestSlot() { stop(); }

    // The request's number, told with its result; 0 after stop. Throws Exception when the pool has no thread and
    // none can be made.
    WPARAM submit(const Request& request, const std::wstring& key = {})
    {
        bool toRun = false;
        WPARAM number = state->submit(request, key, toRun);
        if (!toRun) {
            // A request given up for it may still wait in the pool.
            pool.withdraw(state);
            return number;
        }
        try {
            pool.queue(state, key);
        } catch (...) {
            forget();
            throw;
        }
        return number;
    }
    // Drops every request made so far, the result of one waiting to be taken included.
    void forget()
    {
        state->forget();
        pool.withdraw(state);
    }
    // On the message: true, with the result, when it answers the newest request.
    bool take(WPARAM number, Result& taken) { return state->take(number, taken); }
    // Forgets, and nothing is posted from now on.
    void stop()
    {
        state->stop();
        pool.withdraw(state);
    }
    // While work for this slot runs, which a forgotten request's still does to its end.
    bool isWorking() { return state->isWorking(); }

    // The window goes while the slot works for its newest request: that work goes on for whichever window adopts
    // the slot, and is dropped when none has by its end. A request not yet begun is given up. True when there is
    // work to hand over.
    bool detach()
    {
        bool handing = state->detach();
        pool.withdraw(state);
        return handing;
    }
    // Tells this window of the work handed over; the number of its request, or 0 when there is none (its work
    // ended meanwhile): the window then asks anew.
    WPARAM adopt(HWND window, UINT message) { return state->adopt(window, message); }

private:
    class State : public WorkerPool::Task {
    public:
        explicit State(Work work) : work(work) {}

        // Sets toRun unless the work under way answers the request.
        WPARAM submit(const Request& request, const std::wstring& key, bool& toRun)
        {
            Request dropped;
            Result stale;
            CriticalSectionLock hold(lock);
            if (stopped)
                return 0;
            WPARAM number = ++newest;
            stale = std::exchange(result, Result());
            hasResult = false;
            window = request.window;
            message = request.message;
            if (working && !key.empty() && key == runningKey) {
                answering = number;
                dropped = dropWaiting();
                return number;
            }
            dropped = std::exchange(waiting, request);
            waitingKey = key;
            hasRequest = true;
            toRun = true;
            return number;
        }
        void forget()
        {
            Request dropped;
            Result stale;
            CriticalSectionLock hold(lock);
            ++newest;
            dropped = dropWaiting();
            stale = std::exchange(result, Result());
            hasResult = false;
        }
        bool take(WPARAM number, Result& taken)
        {
            CriticalSectionLock hold(lock);
            if (!hasResult || number != newest)
                return false;
            taken = std::exchange(result, Result());
            hasResult = false;
            return true;
        }
        void stop()
        {
            forget();
            CriticalSectionLock hold(lock);
            stopped = true;
            window = nullptr;
        }
        bool isWorking()
        {
            CriticalSectionLock hold(lock);
            return working;
        }
        bool detach()
        {
            Request dropped;
            Result stale;
            CriticalSectionLock hold(lock);
            window = nullptr;
            stale = std::exchange(result, Result());
            hasResult = false;
            if (hasRequest) {
                ++newest;
                dropped = dropWaiting();
            }
            return working && answering == newest;
        }
        WPARAM adopt(HWND adopter, UINT told)
        {
            CriticalSectionLock hold(lock);
            if (stopped || !working || answering != newest)
                return 0;
            window = adopter;
            message = told;
            return newest;
        }

        void run() override
        {
            Request request;
            {
                CriticalSectionLock hold(lock);
                if (!hasRequest || stopped)
                    return;
                runningKey = waitingKey;
                request = dropWaiting();
                working = true;
                answering = newest;
            }
            Result done;
            work(request, done);
            deliver(done);
            // What the request and a dropped result hold goes here, on the pool's thread, and not under the lock.
        }

    private:
        // Under the lock; the caller lets the request go once it has left the lock.
        Request dropWaiting()
        {
            hasRequest = false;
            waitingKey.clear();
            return std::exchange(waiting, Request());
        }
        void deliver(Result& done)
        {
            CriticalSectionLock hold(lock);
            working = false;
            runningKey.clear();
            if (answering != newest || stopped || !window)
                return;
            result = std::exchange(done, Result());
            hasResult = true;
            PostMessageW(window, message, newest, 0);
        }

        const Work work;
        CriticalSection lock;
        WPARAM newest = 0;
        bool stopped = false;
        // Told of the newest request's result.
        HWND window = nullptr;
        UINT message = 0;
        bool hasRequest = false;
        Request waiting;
        std::wstring waitingKey;
        bool working = false;
        // The number that the work under way answers: its own, or that of a newer request of its key.
        WPARAM answering = 0;
        std::wstring runningKey;
        // The newest request's result until the window's thread takes it.
        bool hasResult = false;
        Result result;
    };

    WorkerPool& pool;
    std::shared_ptr<State> state;
};
