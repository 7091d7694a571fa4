#include "foundation/WorkerPool.h"
#include <objbase.h>
#include <algorithm>
#include "foundation/Exception.h"
#include "foundation/SafeThread.h"

class WorkerPool::Worker : public SafeThread {
public:
    explicit Worker(WorkerPool& pool) : pool(pool) {}
    ~Worker() override { stopThread(); }

protected:
    DWORD Run(void*) override
    {
        HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        pool.serve();
        if (SUCCEEDED(com))
            CoUninitialize();
        return 0;
    }

private:
    WorkerPool& pool;
};

int WorkerPool::defaultThreadCount()
{
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return std::max(2, static_cast<int>(system.dwNumberOfProcessors));
}

WorkerPool::WorkerPool(int threads) : maxThreads(std::max(threads, 1))
{
    InitializeConditionVariable(&changed);
}

WorkerPool::~WorkerPool()
{
    stop();
}

bool WorkerPool::queue(const std::shared_ptr<Task>& task, const std::wstring& key)
{
    CriticalSectionLock hold(lock);
    if (stopping)
        return false;
    std::erase_if(waiting, [&](const Queued& entry) { return entry.task == task; });
    waiting.push_front({task, key});
    WakeAllConditionVariable(&changed);
    if (runnableCount() > idle && static_cast<int>(workers.size()) < maxThreads)
        addWorker();
    return true;
}

void WorkerPool::withdraw(const std::shared_ptr<Task>& task)
{
    std::shared_ptr<Task> dropped;
    CriticalSectionLock hold(lock);
    auto found = std::find_if(waiting.begin(), waiting.end(), [&](const Queued& entry) { return entry.task == task; });
    if (found == waiting.end())
        return;
    dropped = std::move(found->task);
    waiting.erase(found);
}

// A pool that has threads goes on with them when no more can be made.
void WorkerPool::addWorker()
{
    auto worker = std::make_unique<Worker>(*this);
    if (worker->start(nullptr)) {
        workers.push_back(std::move(worker));
        return;
    }
    DWORD error = GetLastError();
    if (workers.empty())
        throw Exception(error ? static_cast<int>(error) : ErrorCode::NoMemory);
}

void WorkerPool::stop()
{
    std::deque<Queued> dropped;
    {
        CriticalSectionLock hold(lock);
        stopping = true;
        dropped.swap(waiting);
        WakeAllConditionVariable(&changed);
    }
    // What the dropped tasks hold goes here, without the lock: a task's end may end what it holds.
    dropped.clear();
    for (auto& worker : workers)
        worker->join(true);
    CriticalSectionLock hold(lock);
    workers.clear();
}

int WorkerPool::threadCount() const
{
    CriticalSectionLock hold(lock);
    return static_cast<int>(workers.size());
}

void WorkerPool::serve()
{
    lock.enter();
    while (!stopping) {
        auto next = runnable();
        if (next == waiting.end()) {
            ++idle;
            SleepConditionVariableCS(&changed, &lock.section, INFINITE);
            --idle;
            continue;
        }
        Queued taken = std::move(*next);
        waiting.erase(next);
        running.push_back({taken.task.get(), taken.key});
        lock.leave();
        taken.task->run();
        lock.enter();
        std::erase_if(running, [&](const Running& entry) { return entry.task == taken.task.get(); });
        // A task of the same key may run now.
        WakeAllConditionVariable(&changed);
        lock.leave();
        taken.task.reset();
        lock.enter();
    }
    lock.leave();
}

std::deque<WorkerPool::Queued>::iterator WorkerPool::runnable()
{
    return std::find_if(waiting.begin(), waiting.end(),
                        [&](const Queued& entry) { return !isRunning(entry.task.get()) && !isBusy(entry.key); });
}

int WorkerPool::runnableCount() const
{
    return static_cast<int>(std::count_if(waiting.begin(), waiting.end(), [&](const Queued& entry) {
        return !isRunning(entry.task.get()) && !isBusy(entry.key);
    }));
}

bool WorkerPool::isRunning(const Task* task) const
{
    return std::any_of(running.begin(), running.end(), [&](const Running& entry) { return entry.task == task; });
}

bool WorkerPool::isBusy(const std::wstring& key) const
{
    return !key.empty() &&
           std::any_of(running.begin(), running.end(), [&](const Running& entry) { return entry.key == key; });
}
