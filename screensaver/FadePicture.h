#pragma once
#include <windows.h>
#include "screensaver/Picture.h"

// The saver's pictures in memory: the desktop as it was when the saver started (the background), the picture
// on show (the source) and that picture mixed with the background behind it (the frame, which is drawn).
class FadePicture {
public:
    FadePicture() = default;
    FadePicture(const FadePicture&) = delete;
    FadePicture& operator=(const FadePicture&) = delete;

    // The snapshot stretched to the saver's client area.
    bool setBackground(const Dib& snapshot, int width, int height);
    // The next picture to show; the frame starts as a copy of it. On failure no picture is held.
    bool setSource(const Picture& picture);
    void release();

    bool hasSource() const { return !source.isEmpty(); }
    int sourceWidth() const { return source.width(); }
    int sourceHeight() const { return source.height(); }
    const Picture& getSource() const { return source; }
    const Picture& getBackground() const { return background; }
    const Picture& getFrame() const { return frame; }

    // Mixes the part of the source that lies inside the client area, at (x, y), with the background there: the
    // weight is the background's share (0-255). Parts outside the client area are left as they were.
    void blendFrame(int x, int y, int weight);
    void drawBackground(HDC dc) const;
    // The frame, blended at (x, y), drawn into the DC.
    void drawFrame(HDC dc, int x, int y, int weight);

private:
    // The source's rows and columns that land inside the client area at (x, y); false when none do.
    bool visiblePart(int x, int y, RECT& part) const;

    Picture source;
    Picture frame;
    Picture background;
};
