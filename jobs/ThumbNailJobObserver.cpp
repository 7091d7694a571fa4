#include "jobs/ThumbNailJobObserver.h"
#include "foundation/MessageWriter.h"
#include "jobs/LogMessages.h"
#include "imaging/ICanceller.h"

namespace thumbnailmaker {

bool ThumbNailJobObserver::isCancelled(int)
{
    if (!cancelled && ::isCancelled(canceller))
        cancelled = true;
    return cancelled;
}

void ThumbNailJobObserver::fileDone(const wstring& source, const wstring& thumbnail)
{
    if (log)
        log->write(source + L" -> " + thumbnail + L"\r\n");
}

void ThumbNailJobObserver::started()
{
    if (log)
        log->write(wstring(LogMessages::M103.get()) + L"\r\n");
}

} // namespace thumbnailmaker
