#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <wincodec.h>
#include "foundation/wstring.h"
#include "imaging/ICanceller.h"
#include "imaging/WicBitmapSource.h"

// Pictures read through WIC. Each call opens its own decoder on a memory copy of the file (or on the stream)
// and releases it before returning; failures throw Exception (HRESULT, or the system's error for a file that
// cannot be read). Returned interfaces and GDI+ bitmaps belong to the caller; the GDI+ ones need GDI+ started.

UINT wicFrameCount(const wstring& path);
// The canceller is asked while the frame is being decoded, where the decoder reports its progress (a decoder
// that reports none decodes to the end); cancelling throws E_ABORT. It is not asked for pixels copied later.
IWICBitmapFrameDecode* wicOpenFrame(const wstring& path, UINT index, ICanceller* canceller);
IWICBitmapFrameDecode* wicFirstFrameFromStream(IStream* stream);
// Decoders without a thumbnail or preview throw their HRESULT.
IWICBitmapSource* wicThumbnail(const wstring& path);
IWICBitmapSource* wicPreview(const wstring& path);

// The picture as a GDI+ bitmap of its own depth: the pixels copied straight across where GDI+ lays them out as
// WIC does (24 and 32 bits), otherwise passed as PNG (48 bits per pixel or fewer) or BMP in memory; a GDI+
// failure throws Exception 8.
Gdiplus::Bitmap* wicToGdiplusBitmap(const WIC::BitmapSource& source);
Gdiplus::Bitmap* wicLoadFrameAsGdiplusBitmap(const wstring& path, UINT index, ICanceller* canceller);
Gdiplus::Bitmap* wicLoadPreviewAsGdiplusBitmap(const wstring& path);
