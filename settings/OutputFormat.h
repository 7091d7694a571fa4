#pragma once
#include <windows.h>
#include "foundation/wstring.h"

class AppSetting;

// The output-format index (Edit/Format and the jobs' format argument): 0 JPEG, 1 GIF, 2 TIFF, 3 PNG, 4 BMP,
// 5 HD Photo written as .wdp, 6 HD Photo written as .hdp.
namespace OutputFormat {
constexpr int Jpeg = 0;
constexpr int Gif = 1;
constexpr int Tiff = 2;
constexpr int Png = 3;
constexpr int Bitmap = 4;
constexpr int Wdp = 5;
constexpr int Hdp = 6;
constexpr int Count = 7;
} // namespace OutputFormat

// Both HD Photo indexes share one command.
int formatIndexToCommandId(int index);
// The HD Photo command selects the .wdp index; any id that is no format command selects BMP.
int commandIdToFormatIndex(int commandId);

// The user's extension for the format when the OutputExt options are on, the default one otherwise. An index
// without an entry throws Exception 87.
wstring outputExtensionForFormat(int index, const AppSetting& setting);
// The first extension of the format's group in string IDS_OUTPUT_EXTENSIONS (settings/settingsStrings.h) of
// the application's resource module (the program file when there is no application). An index without a group,
// or a group without a first extension, throws Exception 87; a missing string throws with the last error.
wstring defaultOutputExtension(int index);
wstring defaultOutputExtension(int index, HMODULE module);
