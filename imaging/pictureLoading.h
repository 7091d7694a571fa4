#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <wincodec.h>
#include <wincodecsdk.h>
#include "foundation/Decimal.h"
#include "imaging/Dib.h"
#include "imaging/IImage.h"

// Pictures read from files. Each loader asks GDI+, then WIC, then the Susie plug-ins of the lent settings record
// (its Spi list, in order). A stage that cannot read the picture passes it on silently; a null path reads
// nothing. The plug-in stage, when it is reached, throws Exception 1 while no settings record is lent and
// Exception for a plug-in list that cannot be copied. Every call builds its own decoders and plug-in host, so
// calls on different threads share nothing; COM must be initialised on the calling thread and GDI+ started.
// New objects belong to the caller.

// The picture as a 32-bit ARGB bitmap, or null. Each output is optional: the metadata block reader of a JPEG
// (released by the caller; other pictures leave it as it was), the source's bits per pixel (as GDI+ or WIC
// decoded it, or the file's own where GDI+ widened it: getPngBitDepth), and its resolution as WIC reads it
// (left as it was when WIC cannot read the file). Throws Exception when WIC or a plug-in read the picture and it
// could not be brought into GDI+.
Gdiplus::Bitmap* loadBitmap(const wchar_t* path, IWICMetadataBlockReader** reader = nullptr, WORD* bits = nullptr,
                            Decimal* dpiX = nullptr, Decimal* dpiY = nullptr);
// The picture as a Dib in its own depth; a picture with alpha (or a translucent palette) as 32 bits. A file that
// cannot be opened throws Exception with the system's error.
bool loadDib(const wchar_t* path, Dib& dib);
// The picture to show, or null. A picture only WIC reads comes as a GdipImageWithWIC that posts the message to
// the window when a background decode ends (no window: no message); in preview-only mode a decoder's preview is
// all that is decoded.
IImage* loadImage(const wchar_t* path, bool previewOnly, HWND window, UINT message);

// The picture of the first plug-in that reads the file; false (the Dib empty) when none does.
bool loadWithPlugins(const wchar_t* path, Dib& dib);
