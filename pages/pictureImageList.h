#pragma once
#include <windows.h>
#include <commctrl.h>

class ComboBoxEx;
class Dib;
class ImageList;
class wstringArray;

// A 32-bit image list of the pictures, each drawn at its own size into a bitmap of the screen's kind, sized
// after the first one. A picture that cannot be drawn is left out; no pictures give no list (null). A list
// that cannot be made throws Exception with the system's error.
HIMAGELIST makePictureImageList(const Dib* pictures, int count);

// Fills an extended drop-down list with the items, item i with image i of the pictures (no images without
// pictures), and selects one. The list of images goes to the holder, which the page keeps for as long as the
// drop-down list may show it.
void fillPictureList(ComboBoxEx& list, ImageList& images, const Dib* pictures, int pictureCount,
                     const wstringArray& items, int selection);
