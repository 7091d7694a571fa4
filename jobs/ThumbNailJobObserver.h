#pragma once
#include "jobs/ThumbNailMaker.h"

class ICanceller;
class MessageWriter;

namespace thumbnailmaker {

// Connects a sheet writer to a job: its cancel questions go to the job's canceller, and once that has said yes
// the answer stays yes; its progress goes to the job's log, when there is one.
class ThumbNailJobObserver : public Observer {
public:
    ThumbNailJobObserver(ICanceller* canceller, MessageWriter* log) : canceller(canceller), log(log) {}

    bool isCancelled(int count) override;
    // Logs "source -> thumbnail".
    void fileDone(const wstring& source, const wstring& thumbnail) override;
    // Logs that the page is being written.
    void started() override;
    bool wasCancelled() const { return cancelled; }

private:
    ICanceller* canceller;
    MessageWriter* log;
    bool cancelled = false;
};

} // namespace thumbnailmaker
