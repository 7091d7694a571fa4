#include "mainwindow/IFileListView.h"
#include "foundation/Path.h"

namespace {

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
    feeder.start(window, ++run);
}

void IFileListView::stopFeeder()
{
    if (offering)
        feeder.requestStop();
    else
        feeder.stopAndWait();
}

bool IFileListView::handleListMessage(UINT message, WPARAM wParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case FileListFeeder::OfferMessage:
        result = offerPending(wParam);
        return true;
    case FileListFeeder::EndedMessage:
        feederEnded(wParam);
        return true;
    case WM_DESTROY:
        stopFeeder();
        return true;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return true;
    default:
        return false;
    }
}

// The answer tells the feeder whether to stop (1) or to offer the next file (0). A feeder asked to stop (the
// window is closing) gets no more files in.
LRESULT IFileListView::offerPending(WPARAM index)
{
    if (!feeder.isRunning() || index >= static_cast<WPARAM>(pending.count()))
        return 1;
    wstring path = pending.at(static_cast<int>(index));
    OfferScope scope(offering);
    try {
        FileListViewEventArgs args(&path, nullptr, 0, 0);
        raise(FileListEvent::beforeAdd, args);
        if (args.value.value || !feeder.isRunning())
            return 1;
        Path file(path);
        if (!file.exists())
            throw Exception(ERROR_FILE_NOT_FOUND);
        addFile(file.getPath());
        raise(FileListEvent::added, args);
    } catch (const Exception& error) {
        FileListViewEventArgs args(&path, &error, 0, 0);
        raise(FileListEvent::addFailed, args);
        if (args.value.value)
            return 1;
    }
    return feeder.isRunning() ? 0 : 1;
}

void IFileListView::feederEnded(WPARAM endedRun)
{
    // The end of a run that a newer addFiles stopped: the newer run reports its own end.
    if (endedRun != run)
        return;
    feeder.join(false);
    pending.removeAll();
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
