#pragma once
#include "foundation/wstring.h"

// The association of a document extension (given without its dot) with a program under HKEY_CLASSES_ROOT.
// Names and paths are stored lower-cased: the program korvilane and the extension lay give the document class
// "korvilane.lay" and the extension key ".lay". Failures throw Exception with the registry's error; without
// the right to write there, that is 5 (access denied).

// Writes the extension key, the document class with its description, icon and open command. A failure removes
// what was written and throws the first error.
void registerFileType(const wstring& name, const wstring& executablePath, const wstring& extension,
                      const wstring& description, int iconIndex);
// Removes the document class, and the extension key while it still points to this program. A class that is
// not there throws.
void unregisterFileType(const wstring& name, const wstring& extension);
bool isFileTypeRegistered(const wstring& name, const wstring& extension);
// An extension key with an empty default value counts as taken by another program.
bool isFileTypeRegisteredElsewhere(const wstring& name, const wstring& extension);
