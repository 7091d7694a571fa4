#pragma once
#include <windows.h>
#include "foundation/wstringArray.h"

class AppSetting;

// Which files a folder scan offers as pictures: the formats the program reads itself, those of the user's
// Susie plug-ins and those of the extra decoders installed with the imaging component. Built anew on every
// call; the out lists are cleared first.

// Wildcard patterns ("*.bmp"), each once whatever its case: the program's own, then the plug-ins' (in the
// setting's plug-in order; an entry naming several patterns is split at ";"), then the extra decoders'. The program's own come from the open-file filter string
// of the resource module (the executable when null). A malformed decoder key, an unusable plug-in list or a
// filter string without "|" throws Exception; a missing filter string throws with the system's error.
void collectReadableFileTypes(wstringArray& patterns, const AppSetting& setting, HMODULE resourceModule);
// The same entries as lower-case extensions without the dot ("bmp"); an entry without a dot is kept whole.
void collectReadableExtensions(wstringArray& extensions, const AppSetting& setting, HMODULE resourceModule);
// The extensions (".webp") of the installed decoders other than the seven that come with the system.
void collectWicDecoderExtensions(wstringArray& extensions);
