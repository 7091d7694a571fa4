#pragma once
#include <windows.h>
#include "foundation/wstring.h"
#include "foundation/wstringArray.h"

// The picture decoders registered with the system, read anew from HKEY_CLASSES_ROOT on every call.

// 0 when the decoder category cannot be opened.
int wicDecoderCount();
// The decoder's class identifier in braces; empty when the category cannot be opened. An index outside the
// list throws Exception 87.
wstring wicDecoderClsid(int index);
// The pieces of the decoder's "FileExtensions" value between commas or semicolons, as stored (leading dots,
// case), empty pieces dropped; none when the decoder's key or value is missing.
void wicDecoderFileExtensions(const CLSID& decoder, wstringArray& extensions);
