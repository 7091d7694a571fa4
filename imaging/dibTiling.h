#pragma once
#include <windows.h>
#include "foundation/ObjectArray.h"
#include "imaging/Dib.h"

// Tiles are numbered row by row from the top left. One call cuts at most this many, from a first number on;
// the caller asks again from the next number until a call gives none.
constexpr int TilesPerCall = 256;

// The tiles numbered from firstIndex on (at most TilesPerCall, and fewer where they would together be larger
// than one picture of PictureSizeLimit) replace the array's contents; returns their count, 0 once firstIndex is
// past the last tile. Tiles at the right and bottom edges keep the picture at their
// top left and the background colour beyond it. -1 with the array empty on failure: last error 87 for an empty
// source, a tile side below 1 or a negative first index, else the error of the step that failed.
int splitDibIntoTiles(const Dib& source, ObjectArray<Dib>& tiles, int tileWidth, int tileHeight, int firstIndex,
                      COLORREF background);

// The destination becomes a 24-bit picture of all the pictures in order, one above the other when vertical
// (as wide as the widest) or side by side (as high as the highest), each at its own size at the left or top,
// the rest the background colour. False with the destination empty on failure: last error 87 for no
// pictures, 8 for a joined picture larger than PictureSizeLimit allows.
bool joinDibs(const ObjectArray<Dib>& pictures, Dib& destination, bool vertical, COLORREF background);
