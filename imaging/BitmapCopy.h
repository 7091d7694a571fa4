#pragma once
#include <windows.h>
#include <gdiplus.h>

// Working copies of GDI+ pictures. Every function returns a new bitmap that the caller deletes, or null;
// the source is never changed.

// A new bitmap of that size and format, fully transparent; null when GDI+ cannot make it, and with the last
// error 8 when it would be larger than PictureSizeLimit allows.
Gdiplus::Bitmap* createBitmap(int width, int height, Gdiplus::PixelFormat format = PixelFormat32bppARGB);
// 32-bit ARGB copy of the whole picture; colours and alpha are copied exactly.
Gdiplus::Bitmap* copyBitmap32(Gdiplus::Image* image);
// 32-bit ARGB bitmap of the rectangle's size holding that part; parts outside the picture stay transparent.
Gdiplus::Bitmap* copyBitmapRect32(Gdiplus::Image* image, int x, int y, int width, int height);
// The format of a new bitmap of that depth: indexed up to 8 bits, RGB555, RGB, ARGB at 32 and 64, RGB at 48;
// PixelFormatUndefined for any other depth.
Gdiplus::PixelFormat pixelFormatOfDepth(int bitCount);
// Bits per pixel of a GDI+ pixel format.
inline int bitsPerPixel(Gdiplus::PixelFormat format)
{
    return static_cast<int>((format >> 8) & 0xFF);
}
