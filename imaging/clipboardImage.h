#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Pictures on the clipboard as CF_DIB: a packed DIB, which is a BMP file without its 14-byte file header.
// GDI+ must be running. Nothing here leaves the clipboard open or a memory block without an owner.

// Puts the picture's BMP encoding on the clipboard. A null or unusable picture throws Exception 87, a failed
// encoding 8, a clipboard that refuses the data the system's error.
void saveImageToClipboard(Gdiplus::Image* image, HWND owner);
// Takes over the reference to a stream holding a BMP file and puts its DIB on the clipboard. A null stream or
// one too short to hold a DIB throws Exception 87; no memory 8; a clipboard that cannot be opened, emptied or
// given the data the system's error.
void putBmpStreamOnClipboard(IStream* stream, HWND owner);
// A new picture owned by the caller; null when the clipboard offers no CF_DIB. A DIB that cannot be read
// throws Exception 8.
Gdiplus::Bitmap* pasteImageFromClipboard();
// A new memory stream, positioned at its start, holding the clipboard's DIB as a BMP file; null when the
// clipboard offers no CF_DIB. It stays empty when the clipboard cannot be opened or its DIB is not one that
// can be read within its block (a header or pixel size beyond the block's end).
IStream* clipboardDibToBmpStream();
// The entries of the DIB's colour table: biClrUsed, or the full table of a 1-, 4- or 8-bit picture. A null
// header throws Exception 87.
DWORD dibColorCount(const BITMAPINFOHEADER* header);
