#pragma once
#include <windows.h>
#include <objidl.h>
#include "foundation/ComPtr.h"

class ICanceller;

// Results of convertOneFile.
namespace PreviewConversion {
constexpr int Converted = 1;
constexpr int Failed = -1;
constexpr int Error = -2;
} // namespace PreviewConversion

// Runs one picture through the user's effect steps and the colour-depth preparation of the output format
// (OutputFormat index) and writes it, encoded in that format, into a new memory stream stored in the holder,
// so that a preview shows exactly what a conversion would write. The source's metadata is read only for JPEG
// output with the JPEG options and Exif on. Returns Converted, Failed (not loaded, a step or the encoding
// failed) or Error (an Exception was caught); the holder is touched only on success.
int convertOneFile(const wchar_t* path, int format, ComPtr<IStream>* holder, ICanceller* canceller);
