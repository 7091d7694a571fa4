#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <wincodec.h>
#include <wincodecsdk.h>
#include "imaging/WicBitmapSource.h"
#include "imaging/WicEncodeProperties.h"

// Pictures written through WIC. Failures throw Exception (the HRESULT, 87 for a missing argument); a file that
// was being written when the failure came is removed again, so no partial file is left. Returned streams are in
// memory (ComMemoryStream), positioned at their end, and belong to the caller.

// A copy of a GDI+ bitmap as a 32bppBGRA WIC bitmap; null when its pixels cannot be locked. Resolutions are
// set only when both are above 0.
IWICBitmap* gdiplusToWicBitmap(Gdiplus::Bitmap* bitmap, double dpiX, double dpiY);
// The source through a format converter (no dithering, no palette, median cut); GUID_WICPixelFormatDontCare
// keeps the source's own format.
IWICBitmapSource* wicConvertPixelFormat(const WIC::BitmapSource& source, const GUID& pixelFormat);

// One frame in the container format, written to the file at path, or to the stream when one is given.
// GUID_WICPixelFormatDontCare writes the source's own format; any other is converted to first. The metadata
// blocks of a decoded picture are copied when a block reader is given.
void wicEncodeSource(const GUID& container, const WIC::BitmapSource& source, const GUID& pixelFormat,
                     const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader,
                     const wchar_t* path, IStream* stream);
IStream* wicEncodeSourceToStream(const GUID& container, const WIC::BitmapSource& source, const GUID& pixelFormat,
                                 const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader);
void wicSaveGdiplusBitmap(const wchar_t* path, const GUID& container, const GUID& pixelFormat,
                          Gdiplus::Bitmap* bitmap, const WIC::EncodeProperties& options,
                          IWICMetadataBlockReader* blockReader, double dpiX, double dpiY);
// The same into a file that the caller holds open (a staged output), from its current position.
void wicSaveGdiplusBitmap(IStream* file, const GUID& container, const GUID& pixelFormat, Gdiplus::Bitmap* bitmap,
                          const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader, double dpiX,
                          double dpiY);
IStream* wicEncodeGdiplusBitmapToStream(const GUID& container, const GUID& pixelFormat, Gdiplus::Bitmap* bitmap,
                                        const WIC::EncodeProperties& options, IWICMetadataBlockReader* blockReader,
                                        double dpiX, double dpiY);
