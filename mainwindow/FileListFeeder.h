#pragma once
#include <windows.h>
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

protected:
    DWORD Run(void* argument) override;

private:
    DWORD pause;
    HWND window = nullptr;
    WPARAM run = 0;
    // Set when the run has sent its last offer.
    HANDLE finished;
};
