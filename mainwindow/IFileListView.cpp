#include "mainwindow/IFileListView.h"
#include <algorithm>
#include <chrono>
#include "foundation/Path.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long one offer may keep the window's thread: between offers the window answers other messages and the
// user's input. The feeder's round trip per offer costs several times what inserting a file does, so files
// are not offered one by one.
constexpr auto OfferSlice = std::chrono::milliseconds(20);
// How often a run shows what it has added so far, at most; a list that takes long to draw is drawn less often,
// so that drawing takes no more than a fifth of the time.
constexpr auto ShowInterval = std::chrono::milliseconds(100);
constexpr int ShowShare = 4;

// Counts the add-event handlers that are running, however they end.
class OfferScope {
public:
    explicit OfferScope(int& depth) : depth(depth) { ++depth; }
    OfferScope(const OfferScope&) = delete;
    OfferScope& operator=(const OfferScope&) = delete;
    ~OfferScope() { --depth; }

private:
    int& depth;
};

} // namespace

IFileListView::~IFileListView()
{
    stopFeeder();
}

HWND IFileListView::attach(HWND)
{
    throw Exception(static_cast<int>(E_NOTIMPL));
}

IFileListView::Handler& IFileListView::slot(FileListEvent event)
{
    int index = static_cast<int>(event);
    if (index < 0 || index >= FileListEventCount)
        Exception::throwInvalidArgument();
    return handlers[index];
}

void IFileListView::setEventHandler(FileListEvent event, const Handler& handler)
{
    Handler& target = slot(event);
    target.unbind();
    target = handler;
}

void IFileListView::removeEventHandler(FileListEvent event)
{
    slot(event).unbind();
}

void IFileListView::raise(FileListEvent event, FileListViewEventArgs& args)
{
    slot(event).raiseEvent(this, &args);
}

void IFileListView::addFiles(const wstringArray& paths)
{
    // The feeder is waiting for this very thread's answer: it cannot be stopped and waited for here.
    if (offering)
        throw Exception(ErrorCode::InvalidState);
    HWND window = liveHandle();
    feeder.stopAndWait();
    pending.removeAll();
    pending.addAll(paths);
    nextPending = 0;
    runStarted = Clock::now().time_since_epoch();
    lastShown = runStarted;
    nextShowAfter = ShowInterval;
    // A run that goes on as the new one has its rows held again, should its showing be half done.
    if (showing)
        showAdding();
    showing = false;
    beginAdding();
    try {
        feeder.start(window, ++run);
    } catch (...) {
        endAdding();
        throw;
    }
}

void IFileListView::stopFeeder()
{
    if (offering)
        feeder.requestStop();
    else
        feeder.stopAndWait();
}

bool IFileListView::onDestroy()
{
    stopFeeder();
    return true;
}

bool IFileListView::onSetCursor(HWND, UINT, UINT, bool&)
{
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return true;
}

LRESULT IFileListView::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case FileListFeeder::OfferMessage:
        return offerPending(wParam);
    case FileListFeeder::EndedMessage:
        feederEnded(wParam);
        return 0;
    default:
        return Control::handleMessage(window, message, wParam, lParam);
    }
}

// The answer tells the feeder whether to stop (1) or to offer again (0). A feeder asked to stop (the window is
// closing) gets no more files in.
LRESULT IFileListView::offerPending(WPARAM offeredRun)
{
    if (offeredRun != run || !feeder.isRunning())
        return 1;
    // An offer either shows what has been added, when that is due, or adds files for a slice of time, never
    // both: the window is not kept for the two together.
    if (showAddingWhenDue())
        return 0;
    Clock::time_point started = Clock::now();
    do {
        if (nextPending >= pending.count() || offerFile(nextPending++))
            return 1;
    } while (feeder.isRunning() && Clock::now() - started < OfferSlice);
    return feeder.isRunning() ? 0 : 1;
}

bool IFileListView::offerFile(int index)
{
    wstring path = pending.at(index);
    OfferScope scope(offering);
    try {
        FileListViewEventArgs args(&path, nullptr);
        raise(FileListEvent::beforeAdd, args);
        if (args.value.value || !feeder.isRunning())
            return true;
        Path file(path);
        if (!file.exists())
            throw Exception(ERROR_FILE_NOT_FOUND);
        addFile(file.getPath());
        raise(FileListEvent::added, args);
    } catch (const Exception& error) {
        FileListViewEventArgs args(&path, &error);
        raise(FileListEvent::addFailed, args);
        if (args.value.value)
            return true;
    }
    return false;
}

bool IFileListView::showAddingWhenDue()
{
    Clock::duration now = Clock::now().time_since_epoch();
    if (!showing && (now - lastShown < nextShowAfter || endsSoon(now)))
        return false;
    if (!showing)
        showTaken = Clock::duration::zero();
    showing = showAdding();
    Clock::duration done = Clock::now().time_since_epoch();
    showTaken += done - now;
    if (!showing) {
        lastShown = done;
        nextShowAfter = std::max<Clock::duration>(ShowInterval, showTaken * ShowShare);
    }
    return true;
}

// The run's end shows the rows anyway: a showing just before it would only keep the user waiting longer.
bool IFileListView::endsSoon(Clock::duration now) const
{
    if (nextPending == 0)
        return false;
    Clock::duration perFile = (now - runStarted) / nextPending;
    return perFile * (pending.count() - nextPending) < ShowInterval;
}

void IFileListView::selectAll()
{
    for (int i = 0, last = count(); i < last; ++i)
        select(i);
}

void IFileListView::feederEnded(WPARAM endedRun)
{
    // The end of a run that a newer addFiles stopped: the newer run reports its own end.
    if (endedRun != run)
        return;
    feeder.join(false);
    pending.removeAll();
    nextPending = 0;
    endAdding();
    FileListViewEventArgs args;
    raise(FileListEvent::addingFinished, args);
}

void IFileListView::bindWindow(HWND window)
{
    attachControl(nullptr, window);
    subclass();
}

void IFileListView::abandonWindow(HWND made)
{
    attachControl(nullptr, nullptr);
    if (made && IsWindow(made))
        DestroyWindow(made);
}

void IFileListView::InputWindow::create(HWND, int, const Rect&, DWORD, DWORD)
{
    throw Exception(static_cast<int>(E_NOTIMPL));
}

bool IFileListView::InputWindow::onKeyDown(UINT key, UINT repeat, UINT flags)
{
    FileListViewEventArgs args;
    args.key = key;
    raise(FileListEvent::keyDown, args);
    if (!arrowsStepLikeUpAndDown() || (key != VK_LEFT && key != VK_RIGHT))
        return false;
    passKeyDown(key == VK_LEFT ? VK_UP : VK_DOWN, repeat, flags);
    return true;
}

void IFileListView::InputWindow::onCommand(HWND, int id, int code)
{
    FileListViewEventArgs args;
    args.command = {id, code};
    raise(FileListEvent::command, args);
}

bool IFileListView::InputWindow::onMenuSelect(UINT item, UINT flags, HMENU menu)
{
    FileListViewEventArgs args;
    args.menuSelection = {item, flags, menu};
    raise(FileListEvent::menuSelect, args);
    return true;
}

bool IFileListView::InputWindow::onDropFiles(HDROP drop)
{
    DroppedFiles files(drop);
    FileListViewEventArgs args;
    args.dropped = &files;
    raise(FileListEvent::filesDropped, args);
    return true;
}

LRESULT IFileListView::InputWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return 0;
    return Control::handleMessage(window, message, wParam, lParam);
}
