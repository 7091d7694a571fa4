#pragma once
#include <windows.h>
#include "screensaver/ResPlayList.h"

// The pictures of a saver file: how many there are (string IDS_PICTURE_COUNT of the module) and their play
// order, and where the picture on show started and how fast it drifts.
class PictureInfo {
public:
    explicit PictureInfo(HMODULE module);

    ResPlayList& getPlayList() { return playList; }

    // A new start and direction for a picture of the size in a client area of the size. Speeds are 3 pixels a
    // tick at most along each axis, in proportion in the small preview (scale below 1); a picture starting near
    // an edge turns towards the middle.
    void place(SIZE client, SIZE picture, double previewScale);

    int startX = 0;
    int startY = 0;
    double velocityX = 0;
    double velocityY = 0;

private:
    ResPlayList playList;
    Random random;
};

// The number of pictures from the count text: decimal, blanks around it allowed; 0 when the text is empty, no
// number or negative.
int pictureCountFrom(const wchar_t* text);
int pictureCountOf(HMODULE module);

// A start of a picture of `size` in `space`, near a side of it (within a quarter of the space) and moving towards
// that side, turns round; anything else keeps its velocity.
double turnTowardsMiddle(int start, int size, int space, double velocity);
