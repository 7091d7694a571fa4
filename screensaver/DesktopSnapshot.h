#pragma once
#include "imaging/Dib.h"

// The whole virtual screen as it is now, layered windows included: 24 bits per pixel, or the screen's own depth
// with the system palette as its colour table when that is 8 bits or less. False when the screen cannot be read
// (no display).
bool captureDesktop(Dib& snapshot);
