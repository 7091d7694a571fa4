#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <vector>
#include "foundation/Thread.h"

// Paces an animated GIF shown through GDI+: a worker thread waits out each frame's delay and posts
// FrameMessage (wParam: the index of the frame to show next, wrapping to 0 after the last) to the window,
// which then shows that frame. The timer reads the delays when it starts and never touches the picture again.
class AnimeGifTimer {
public:
    static constexpr UINT FrameMessage = WM_APP + 2;

    AnimeGifTimer() = default;
    AnimeGifTimer(const AnimeGifTimer&) = delete;
    AnimeGifTimer& operator=(const AnimeGifTimer&) = delete;
    virtual ~AnimeGifTimer() { stop(); }

    // Stops a running animation, then starts from frame 0. False (nothing running) when the picture is no GIF
    // of two frames or more, its delays cannot be read, or the thread does not start; GDI+ failures are left
    // as the picture's last status.
    bool start(Gdiplus::Image* image, HWND window);
    bool isRunning() const { return thread.isRunning(); }
    // Returns within one 10-ms slice of the current delay.
    void stop() { thread.wait(); }

private:
    struct PlayRecord {
        // Hundredths of a second per frame, each at least 1.
        std::vector<WORD> delays;
        HWND window = nullptr;
        UINT message = 0;
    };

    class TimerThread : public Thread {
    public:
        ~TimerThread() override { stopThread(); }

    protected:
        DWORD run(void* argument) override;
    };

    // Rewritten only while no thread runs.
    PlayRecord record;
    TimerThread thread;
};

bool isGifImage(Gdiplus::Image* image);
// One delay per frame, in hundredths of a second, each at least 1; empty when the picture has fewer than two
// frames or its delays cannot be read. Frame i gets the i-th value of the frame-delay item when the item holds
// one per frame, else the item's first value. The picture shows its first frame again afterwards.
std::vector<WORD> gifFrameDelays(Gdiplus::Image* image);
