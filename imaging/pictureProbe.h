#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "imaging/WicBitmapSource.h"

// Small questions about picture files and sources, asked before or after loading them. Files are opened for
// reading with others allowed to read.

// Whether the file starts as a BMP that the program reads itself (isSelfReadBmpHead); a file that cannot be
// opened throws Exception with the system's error.
bool isSelfReadBmpFile(const wchar_t* path);
// The byte at the offset from the file's start; failures, the end of the file included, throw Exception.
BYTE readFileByte(const wchar_t* path, DWORD offset);
// Whether a source of 8 bits per pixel or fewer has a palette colour that is not fully opaque. A source
// without a palette has none.
bool hasTranslucentPalette(const WIC::BitmapSource& source);
// GDI+ widens some pictures to 32 bits per pixel; for those the depth of the file itself is put into bits:
// a PNG file's from its header (bit depth times the channels, as its colour type tells), 8 for a GIF. Other
// pictures, a file that is no PNG for a picture decoded from one (as WIC hands its pictures to GDI+), and a
// file that cannot be read, leave bits as it was.
void getPngBitDepth(const wchar_t* path, Gdiplus::Image* image, WORD& bits);
