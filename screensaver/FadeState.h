#pragma once

// The life of one picture on the screen, one step per timer tick: it fades in over the background, holds fully
// visible, fades out again, and then the next picture is due. Meanwhile it drifts in a straight line.
struct FadeState {
    static constexpr int FadeSteps = 64;
    static constexpr int HoldStep = FadeSteps;
    static constexpr int LastStep = 2 * FadeSteps;
    static constexpr int Opaque = 255;

    // 0 when the next picture is due, 1-63 fading in, 64 holding, 65-128 fading out.
    int step = 0;
    // Ticks spent holding.
    int hold = 0;
    // The weight of the background over the picture: 255 shows only the background, 0 only the picture.
    int alpha = Opaque;

    bool needsPicture() const { return step <= 0 && hold <= 0; }
    // One tick of the picture that is on the screen; gives how many ticks it has drifted so far. After the last
    // step of the fade-out the state is due for the next picture again.
    int advance(int holdLength);
};

// How many ticks a picture holds: 40 on a 1280 x 1024 screen, in proportion to the screen's area.
int holdLengthFor(int width, int height);

// Where a picture that started at `start` stands after drifting `ticks` ticks at `velocity` pixels a tick.
int driftedPosition(int start, double velocity, int ticks);
