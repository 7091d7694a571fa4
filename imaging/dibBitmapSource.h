#pragma once
#include <windows.h>
#include <wincodec.h>
#include "imaging/Dib.h"

// A Dib as a WIC picture: a new source of the caller's, holding its own copy of the pixels. Failures throw
// Exception (an HRESULT; 87 for an empty Dib or one of the wrong depth).

// A 32-bit Dib goes through PNG so that its fourth bytes stay as alpha; any other through BMP.
IWICBitmapSource* dibToBitmapSource(const Dib& dib);
// Only for 32-bit Dibs.
IWICBitmapSource* toBitmapSourceViaPng(const Dib& dib);
