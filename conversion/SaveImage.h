#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <wincodecsdk.h>
#include "foundation/ComPtr.h"
#include "foundation/Decimal.h"

class ICanceller;

// Writing one converted picture in an output format (OutputFormat index), with the format's options from the
// application's settings record. Resolutions are in dots per inch; 0 means none was given. The metadata
// reader of the source picture is carried into a JPEG written with the JPEG options on and Exif set. Writer
// failures return false; a file is only replaced once the new one is complete. GIF and BMP are encoded in memory
// and put right where the platform's encoder leaves them wrong (a GIF's transparent entry, a BMP's stated size)
// before anything is written; one that cannot be put right fails. A format index without a MIME type throws
// Exception 87.

// Whether the batch save takes the source's resolution (so the loader need only read it then).
bool usesSourceResolution(const Decimal& commandDpiX, const Decimal& commandDpiY);
// The batch save: the command-line resolution, or the source's when one of those is 0 and File/KeepDPI is on.
bool saveImageWithDpi(const wchar_t* path, int format, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                      ICanceller* canceller, const Decimal& commandDpiX, const Decimal& commandDpiY,
                      const Decimal& sourceDpiX, const Decimal& sourceDpiY);
// The same into a file that the caller holds open (a staged output), from its current position; false for a null
// stream.
bool saveImageWithDpi(IStream* file, int format, Gdiplus::Bitmap* bitmap, IWICMetadataBlockReader* metadata,
                      ICanceller* canceller, const Decimal& commandDpiX, const Decimal& commandDpiY,
                      const Decimal& sourceDpiX, const Decimal& sourceDpiY);
// Into a new stream stored in the holder, the picture's resolution left alone.
bool saveImageDefault(ComPtr<IStream>* holder, int format, Gdiplus::Bitmap* bitmap,
                      IWICMetadataBlockReader* metadata, ICanceller* canceller);
// Into the stream holder when one is given (nothing goes to disk then), else to the file at path with the
// resolution set first.
bool saveImageFile(const wchar_t* path, ComPtr<IStream>* holder, int format, Gdiplus::Bitmap* bitmap,
                   IWICMetadataBlockReader* metadata, ICanceller* canceller, const Decimal& dpiX,
                   const Decimal& dpiY);
// Nothing when either value is 0. JPEG gets the resolution as EXIF items (unit inches, x/1 and y/1, rounded
// to whole dots) as well as on the bitmap; other formats on the bitmap only. A failing rounding throws
// Exception with its HRESULT.
bool setImageResolution(Gdiplus::Bitmap* bitmap, int format, const Decimal& dpiX, const Decimal& dpiY);
// The MIME type of the format from the program's string table; "notype" for the HD Photo formats.
wstring outputMimeType(int format);
