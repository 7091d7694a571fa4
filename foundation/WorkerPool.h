#pragma once
#include <windows.h>
#include <deque>
#include <memory>
#include <string>
#include <vector>
#include "foundation/CriticalSection.h"

// A small fixed set of threads that does, for every window of the program, the work too long for the window's
// thread: decoding pictures, scaling them for a view, reading a picture's properties. However many windows ask,
// no more threads than this run, and no more of their work is in memory at once. Tasks run newest first, since
// the newest is what the user looks at; two tasks of the same key (a file's path) never run at the same time, so
// that one file is never decoded twice side by side. Each thread starts COM for itself and is made when the work
// first needs it.
//
// The windowed run owns one, made once GDI+ has started and stopped before GDI+ ends: stop waits for the tasks
// under way, drops those not begun, and no task runs afterwards. A task cannot be stopped halfway. Every call but
// the threads' own belongs to the owner's thread.
class WorkerPool {
public:
    class Task {
    public:
        virtual ~Task() = default;
        // On a thread of the pool; nothing may be thrown out of it.
        virtual void run() = 0;
    };

    // About the number of processors, at least two.
    static int defaultThreadCount();

    explicit WorkerPool(int threads = defaultThreadCount());
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;
    ~WorkerPool();

    // The task runs once more, before every task queued earlier; queued again while it waits, it keeps one place,
    // at the front, under its new key. A task never runs on two threads at once. False once the pool is stopped;
    // throws Exception with the system's error when no thread runs and none can be made.
    bool queue(const std::shared_ptr<Task>& task, const std::wstring& key);
    // The task need not run after all; one under way goes on.
    void withdraw(const std::shared_ptr<Task>& task);
    void stop();
    // The threads made so far.
    int threadCount() const;

private:
    class Worker;
    struct Queued {
        std::shared_ptr<Task> task;
        std::wstring key;
    };
    struct Running {
        Task* task;
        std::wstring key;
    };

    void serve();
    // Under the lock: the newest queued task that may run now; end() when none.
    std::deque<Queued>::iterator runnable();
    int runnableCount() const;
    bool isRunning(const Task* task) const;
    bool isBusy(const std::wstring& key) const;
    void addWorker();

    const int maxThreads;
    mutable CriticalSection lock;
    CONDITION_VARIABLE changed;
    std::deque<Queued> waiting;
    std::vector<Running> running;
    std::vector<std::unique_ptr<Worker>> workers;
    int idle = 0;
    bool stopping = false;
};
