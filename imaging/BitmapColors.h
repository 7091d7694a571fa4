#pragma once
#include <windows.h>
#include <gdiplus.h>

// Colour jobs on GDI+ pictures. Colours are Windows COLORREF values; new bitmaps belong to the caller and
// the source is never changed.

// 32-bit two-colour mask: pixels of the colour (alpha ignored) white, every other pixel opaque black; the
// invert flag swaps the two.
Gdiplus::Bitmap* makeColorMask(Gdiplus::Image* image, COLORREF color, bool invert);
// A copy in which the colour has the alpha (clamped to 0..255). Indexed pictures keep their format and get
// the alpha in their palette; deeper ones become 32-bit ARGB. Null when the image is not a bitmap.
Gdiplus::Bitmap* applyTransparentColor(Gdiplus::Image* image, COLORREF color, int alpha);
// True when the question could be answered; `found` tells whether some pixel is not fully opaque.
bool hasTransparency(Gdiplus::Image* image, bool& found);
