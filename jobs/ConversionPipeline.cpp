#include "jobs/ConversionPipeline.h"
#include <windows.h>
#include <objbase.h>
#include <algorithm>
#include <atomic>
#include "conversion/SaveImage.h"
#include "foundation/ComPtr.h"
#include "foundation/FileTime.h"
#include "imaging/ICanceller.h"
#include "imaging/TemporaryOutputFile.h"

namespace {

// A 4000 x 3000 picture with its working copies and encoder buffers; a worker rarely holds more.
constexpr ULONGLONG BytesPerWorker = 384ull << 20;
constexpr int MostWorkers = 16;

} // namespace

struct ConversionPipeline::Job {
    explicit Job(const PictureRequest& request) : request(request) {}

    PictureRequest request;
    bool done = false;
    PictureOutcome outcome = PictureOutcome::Failed;
    TemporaryOutputFile staged;
    FileTime times;
    std::exception_ptr error;
};

class ConversionPipeline::StopFlag : public ICanceller {
public:
    explicit StopFlag(ICanceller* user) : user(user) {}
    bool isCancelled() override { return raised.load(std::memory_order_relaxed) || ::isCancelled(user); }
    void set(bool value) { raised.store(value); }

private:
    std::atomic<bool> raised{false};
    ICanceller* user;
};

int conversionWorkerCount()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    int workers = static_cast<int>(system.dwNumberOfProcessors);
    MEMORYSTATUSEX memory = {sizeof(memory)};
    if (GlobalMemoryStatusEx(&memory))
        workers = static_cast<int>(std::min<ULONGLONG>(workers, memory.ullAvailPhys / BytesPerWorker));
    return std::clamp(workers, 1, MostWorkers);
}

ConversionPipeline::ConversionPipeline(int workers, ICanceller* userCancel)
    : stop(std::make_unique<StopFlag>(userCancel))
{
    for (int i = 0; i < std::max(workers, 1); ++i)
        threads.emplace_back([this] { work(); });
}

ConversionPipeline::~ConversionPipeline()
{
    discardAll();
    {
        std::lock_guard<std::mutex> hold(lock);
        ending = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads)
        thread.join();
}

void ConversionPipeline::queue(const PictureRequest& request)
{
    {
        std::lock_guard<std::mutex> hold(lock);
        jobs.push_back(std::make_shared<Job>(request));
    }
    changed.notify_all();
}

PictureOutcome ConversionPipeline::finishOldest()
{
    std::shared_ptr<Job> job;
    {
        std::unique_lock<std::mutex> hold(lock);
        if (jobs.empty())
            return PictureOutcome::Failed;
        job = jobs.front();
        changed.wait(hold, [&] { return job->done; });
        jobs.pop_front();
        --started;
    }
    if (job->error)
        std::rethrow_exception(job->error);
    if (job->outcome != PictureOutcome::Written)
        return job->outcome;
    if (!job->staged.commit())
        return PictureOutcome::Failed;
    if (job->request.keepFileTimes && !job->times.apply(job->request.target.buffer()))
        return PictureOutcome::TimesNotKept;
    return PictureOutcome::Written;
}

void ConversionPipeline::discardAll()
{
    std::deque<std::shared_ptr<Job>> dropped;
    {
        std::unique_lock<std::mutex> hold(lock);
        stop->set(true);
        jobs.erase(jobs.begin() + static_cast<std::ptrdiff_t>(started), jobs.end());
        changed.wait(hold, [&] {
            return std::all_of(jobs.begin(), jobs.end(), [](const std::shared_ptr<Job>& job) { return job->done; });
        });
        dropped.swap(jobs);
        started = 0;
        stop->set(false);
    }
    // The jobs' temporary files go with them.
    dropped.clear();
}

std::shared_ptr<ConversionPipeline::Job> ConversionPipeline::nextToStart()
{
    std::unique_lock<std::mutex> hold(lock);
    changed.wait(hold, [&] { return ending || started < jobs.size(); });
    if (ending)
        return nullptr;
    return jobs[started++];
}

void ConversionPipeline::work()
{
    // Decoders and encoders are made and used on this thread only.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    while (std::shared_ptr<Job> job = nextToStart()) {
        try {
            job->outcome = pictureStep(stop.get(), [&] { return convert(*job, stop.get()); });
        } catch (...) {
            job->error = std::current_exception();
        }
        // A picture that is not written leaves nothing in its target's folder, not even for a while.
        if (job->outcome != PictureOutcome::Written)
            job->staged.discard();
        {
            std::lock_guard<std::mutex> hold(lock);
            job->done = true;
        }
        changed.notify_all();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

// The steps of convertPictureFile up to the save, which goes to the temporary file.
PictureOutcome ConversionPipeline::convert(Job& job, ICanceller* canceller)
{
    const PictureRequest& request = job.request;
    SourcePicture picture;
    if (!loadSourcePicture(request, picture))
        return PictureOutcome::Failed;
    ChainOutcome processed = processPicture(picture, request.format, canceller);
    if (processed != ChainOutcome::Done)
        return processed == ChainOutcome::Cancelled ? PictureOutcome::Cancelled : PictureOutcome::Failed;
    if (request.keepFileTimes && !job.times.read(request.source.buffer()))
        return PictureOutcome::Failed;
    if (!job.staged.create(request.target.buffer()))
        return PictureOutcome::Failed;
    ComPtr<IStream> file(job.staged.stream());
    if (!saveImageWithDpi(file.get(), request.format, picture.bitmap.get(), picture.metadata.get(), canceller,
                          request.dpiX, request.dpiY, picture.dpiX, picture.dpiY))
        return isCancelled(canceller) ? PictureOutcome::Cancelled : PictureOutcome::Failed;
    return PictureOutcome::Written;
}
