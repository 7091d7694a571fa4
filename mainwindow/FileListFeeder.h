#pragma once
#include <windows.h>
#include <functional>
#include "foundation/SafeThread.h"

// The thread that paces the adding of a file list's pending files: it sends its window OfferMessage with the
// run's number, again and again, and waits for each answer, so at most one offer is outstanding and the
// window's thread takes the files and does all the inserting; a non-zero answer, a cleared run flag or a
// vanished window ends the run. Then it posts EndedMessage with the run's number and ends. It never touches
// the list's data.
class FileListFeeder : public SafeThread {
public:
    static constexpr UINT OfferMessage = WM_APP + 1;
    static constexpr UINT EndedMessage = WM_APP + 2;

    // The explorer-browser list lets the shell breathe for `pause` milliseconds after every offer.
    explicit FileListFeeder(DWORD pause);
    ~FileListFeeder() override;

    // Stops a run still going, then starts one for the window. A thread that cannot be made throws Exception
    // with the system's error.
    void start(HWND window, WPARAM run);
    // Asks a run to end and waits for it. The window's thread must call this: while it waits it answers the
    // offers the feeder sends meanwhile (the window's procedure answers 1 once the run flag is clear), so the
    // two never wait for each other.
    void stopAndWait();

    // Runs `gather` on a thread of its own, in a COM apartment of that thread, while the calling window thread
    // waits: meanwhile it answers the messages other threads send it and paints its windows, so that reading a
    // large folder or layout before a run keeps the window answering. Rethrows what `gather` threw; a thread
    // that cannot be made throws Exception with the system's error.
    static void gatherAside(const std::function<void()>& gather);

protected:
    DWORD Run(void* argument) override;

private:
    // Until the event is set, serves the messages other threads send this one and, when painting, the paint of
    // its windows.
    static void waitAnswering(HANDLE event, bool painting);

    DWORD pause;
    HWND window = nullptr;
    WPARAM run = 0;
    // Set when the run has sent its last offer.
    HANDLE finished;
};
