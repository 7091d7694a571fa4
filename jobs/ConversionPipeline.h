#pragma once
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include "jobs/PictureConversion.h"

// Converts several pictures at once on worker threads while the caller sees them one at a time in the order
// it queued them. A worker loads a picture, runs the steps and writes it under a temporary name beside its
// target; the target itself is only touched when the caller takes that picture's result, so that a caller
// which stops at a failed picture leaves nothing of the pictures after it on disk. Whatever a picture's
// conversion reads of the disk must not depend on the outputs of the pictures queued before it: the caller
// finishes those first (see CommandLineBatch and the convert-and-save job).
class ConversionPipeline {
public:
    // `workers` threads (at least one); each holds COM for its own decoders and encoders. The pictures in work
    // also stop when userCancel (may be null) says so, so that a job's Cancel button is answered at once.
    explicit ConversionPipeline(int workers, ICanceller* userCancel = nullptr);
    ConversionPipeline(const ConversionPipeline&) = delete;
    ConversionPipeline& operator=(const ConversionPipeline&) = delete;
    // Discards what is still queued or written under temporary names, then ends the workers.
    virtual ~ConversionPipeline();

    // The pictures worth having in flight: one per worker and one more for each to start on next.
    int capacity() const { return static_cast<int>(threads.size()) * 2; }
    int queued() const { return static_cast<int>(jobs.size()); }

    void queue(const PictureRequest& request);
    // Waits for the oldest queued picture and moves it onto its target, then gives it the source's file times
    // when asked: the outcome convertPictureFile would have had. Anything else than an Exception that its
    // conversion threw is thrown here, in its turn.
    PictureOutcome finishOldest();
    // Stops the pictures in work and removes everything queued, the temporary files included.
    void discardAll();

private:
    struct Job;
    class StopFlag;

    void work();
    std::shared_ptr<Job> nextToStart();
    static PictureOutcome convert(Job& job, ICanceller* canceller);

    std::mutex lock;
    std::condition_variable changed;
    // Queued in order; the first `started` of them have been taken by a worker.
    std::deque<std::shared_ptr<Job>> jobs;
    size_t started = 0;
    bool ending = false;
    std::unique_ptr<StopFlag> stop;
    std::vector<std::thread> threads;
};

// How many pictures a batch converts at once: one per processor, fewer when memory is short; at least one.
int conversionWorkerCount();
