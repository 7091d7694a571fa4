#pragma once
#include <windows.h>
#include <memory>
#include "screensaver/FadePicture.h"
#include "screensaver/FadeState.h"
#include "screensaver/PictureInfo.h"
#include "screensaver/Timer.h"

// The saver's window: the desktop snapshot as its background, and the pictures of the module, one after the
// other, fading in and out over it while they drift. The window is full screen, or the small preview inside the
// display settings (a child window), where pictures and speeds shrink with the preview.
class SaverWindow {
public:
    // The module holds the pictures and their count; it must outlive the object.
    SaverWindow(HWND window, HMODULE module);
    SaverWindow(const SaverWindow&) = delete;
    SaverWindow& operator=(const SaverWindow&) = delete;
    ~SaverWindow();

    // Takes the snapshot and starts the timer; false when the window cannot show anything.
    bool create();
    // One step of the animation: the next picture when one is due, then the fade and the drift. A picture that
    // cannot be loaded is passed over: the next tick tries the next one.
    void tick();
    void paint();

    const FadeState& getFade() const { return fade; }
    bool showsPicture() const { return pictures.hasSource(); }
    const FadePicture& getPictures() const { return pictures; }
    RECT pictureRect() const { return shown; }
    int getHoldLength() const { return holdLength; }
    double getPreviewScale() const { return previewScale; }

private:
    void loadNextPicture();
    void moveTo(int ticks);
    void paintInto(HDC dc, const RECT& update);

    HWND window;
    HMODULE module;
    SIZE client{0, 0};
    double previewScale = 1.0;
    int holdLength = 40;
    FadeState fade;
    std::unique_ptr<PictureInfo> info;
    FadePicture pictures;
    RECT shown{0, 0, 0, 0};
    Timer timer;
};
