#pragma once
#include <windows.h>
#include <commctrl.h>

class Dib;

// A 32-bit image list of the pictures, each drawn at its own size into a bitmap of the screen's kind, sized
// after the first one. A picture that cannot be drawn is left out; no pictures give no list (null). A list
// that cannot be made throws Exception with the system's error.
HIMAGELIST makePictureImageList(const Dib* pictures, int count);
