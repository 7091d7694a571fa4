#pragma once
#include <windows.h>
#include <gdiplus.h>

// Geometric jobs on GDI+ pictures. Every function returns a new 32-bit ARGB bitmap that the caller deletes,
// or null; the source is never changed. Colours are ARGB values.

// The picture at (5, 5) inside a 5-pixel border that mirrors it across the nearest edge.
Gdiplus::Bitmap* padBitmapMirrored(Gdiplus::Image* image);
// Resampled with the mode; the mirrored border gives the filter real neighbours at the edges. Shrinking averages
// over the whole covered area except in nearest-neighbour mode. 32-bit pictures skip GDI+ (see Resampler).
Gdiplus::Bitmap* resizeBitmap(Gdiplus::Image* image, int width, int height, Gdiplus::InterpolationMode mode);
// The picture at its own size on a canvas of the background colour; alignment 0 left/top, 1 centred,
// 2 right/bottom.
Gdiplus::Bitmap* placeOnCanvas(Gdiplus::Image* image, int width, int height, Gdiplus::ARGB background,
                               int horizontalAlignment, int verticalAlignment);
// Turned clockwise by the angle on a canvas that holds the whole turned picture, drawn over the background; by
// a whole number of quarter turns every pixel lands whole, as a quarter or half turn moves it.
Gdiplus::Bitmap* rotateBitmap(Gdiplus::Image* image, Gdiplus::ARGB background, double angle);
// Slanted by the angle (strictly between -90 and 90 degrees): sideways, or up and down when vertical.
Gdiplus::Bitmap* skewBitmap(Gdiplus::ARGB background, double angle, Gdiplus::Image* image, bool vertical);

// Size of the turned or slanted picture and where its upper-left, upper-right and lower-left corners land (to the
// nearest whole pixel for a turn).
void rotatedBounds(int width, int height, double angle, int& outWidth, int& outHeight, Gdiplus::Point corners[3]);
// The size of the slanted picture, however large; false (last error 87) when the angle is not strictly between
// -90 and 90 degrees.
bool skewedSize(double width, double height, double angle, bool vertical, double& outWidth, double& outHeight);
// False when the angle is not strictly between -90 and 90 degrees (last error 87) or the result would be larger
// than PictureSizeLimit allows (8).
bool skewedBounds(int width, int height, double angle, bool vertical, int& outWidth, int& outHeight,
                  Gdiplus::Point corners[3]);
