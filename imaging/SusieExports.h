#pragma once
#include <windows.h>

// The exports of a Susie image plug-in DLL. Strings are 8-bit, in the system code page. A 64-bit process
// can load only 64-bit plug-ins, whose offsets and user values are pointer-sized.
namespace Susie {

// Info numbers of GetPluginInfo: the API version ("00IN": the third character "I" marks a picture reader),
// the description, then for each format n its file-name pattern at 2n + 2 and its name at 2n + 3.
constexpr int VersionInfo = 0;
constexpr int DescriptionInfo = 1;
constexpr int FirstFormatInfo = 2;

// GetPicture's flag value saying that the first argument names a file.
constexpr unsigned int FromFile = 0;
// How many bytes of the file's head IsSupported sees.
constexpr int HeadBytes = 4096;

// Called while a picture is decoded; a nonzero result asks the plug-in to stop.
using ProgressCallback = int(WINAPI*)(int done, int total, LONG_PTR userValue);
// Characters written to the buffer; 0 or less when there is no such entry.
using GetPluginInfoFunction = int(WINAPI*)(int infoNumber, char* buffer, int bufferBytes);
// Nonzero when the plug-in reads the file.
using IsSupportedFunction = int(WINAPI*)(const char* fileName, void* head);
// 0 on success, when the two handles (LocalAlloc'd, now the caller's) hold the BITMAPINFO and the pixels.
using GetPictureFunction = int(WINAPI*)(const char* fileName, LONG_PTR offset, unsigned int flag, HLOCAL* info,
                                        HLOCAL* pixels, ProgressCallback progress, LONG_PTR userValue);

} // namespace Susie
