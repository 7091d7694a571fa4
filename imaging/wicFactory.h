#pragma once
#include <windows.h>
#include <wincodec.h>

// WIC objects made through a fresh imaging factory, which is released again before the function returns. COM
// must be initialised on the calling thread. Failures throw Exception with the HRESULT, 87 for a missing
// argument; every returned interface is a new reference of the caller's.

IWICImagingFactory* wicCreateFactory();
UINT wicBitsPerPixel(const GUID& pixelFormat);
IWICPalette* wicCreatePalette();
// No dithering; the palette may be null.
IWICFormatConverter* wicCreateFormatConverter(IWICBitmapSource* source, const GUID& pixelFormat,
                                              IWICPalette* palette, double alphaThresholdPercent,
                                              WICBitmapPaletteType paletteTranslation);
// Fant interpolation.
IWICBitmapScaler* wicCreateScaler(IWICBitmapSource* source, UINT width, UINT height);
// A 32bppBGRA bitmap holding a copy of the rows (top row first, each a whole number of 32-bit words).
IWICBitmap* wicCreateBitmapFromMemory(UINT width, UINT height, const BYTE* pixels);
