#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/Dib.h"

// Moves between the program's Dib (rows bottom-up) and GDI+ bitmaps (rows top-down). Results are new
// objects that the caller deletes; sources are never changed.

// A bitmap of the Dib's size and depth (1, 4, 8, 16, 24 or 32 bits). A 32-bit Dib keeps its fourth bytes as
// alpha when asked, and is opaque otherwise. Null when the Dib is empty or of another depth, or when an
// indexed Dib's palette cannot be given to the bitmap (last error 8 or 87).
Gdiplus::Bitmap* dibToGdiplusBitmap(const Dib& dib, bool keepAlpha);
// Whether a 32-bit Dib has any fourth byte other than 0. Files written by GDI leave every one 0: such a
// picture is opaque, not invisible, so this tells whether its alpha is worth keeping.
bool hasAlphaBytes(const Dib& dib);
// A Dib of the picture: indexed pictures keep their depth and palette, deeper ones become 16, 24 or 32 bits
// (opaque). Null on failure.
Dib* gdiplusBitmapToDib(Gdiplus::Image* image);
// The target becomes the source scaled to width x height, drawn with a mirrored border so that the edges do
// not fade; on failure the target is left empty.
bool drawDibScaled(const Dib& source, Dib& target, int width, int height);
