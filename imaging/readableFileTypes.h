#pragma once
#include "foundation/wstringArray.h"

// Which files a folder scan offers as pictures: the formats the program reads itself, those of the user's
// Susie plug-ins and those of the extra decoders installed with the imaging component. Built anew on every
// call; the out lists are cleared first.

// Wildcard patterns ("*.bmp"), each once whatever its case: the program's own, from the open-file filter
// string of the program's resource module; then the plug-ins' of the lent settings record, in its order (an
// entry naming several patterns is split at ";"); then the extra decoders'. Throws Exception 1 while no
// settings record is lent, and Exception for a malformed decoder key, an unusable plug-in list, a missing
// filter string or one without "|".
void collectReadableFileTypes(wstringArray& patterns);
// The same entries as lower-case extensions without the dot ("bmp"); an entry without a dot is kept whole.
void collectReadableExtensions(wstringArray& extensions);
// The extensions of patterns that collectReadableFileTypes gave.
void readableExtensionsOf(const wstringArray& patterns, wstringArray& extensions);
// The extensions (".webp") of the installed decoders other than the seven that come with the system.
void collectWicDecoderExtensions(wstringArray& extensions);
// Appends the readable pictures directly inside the folder (not in its sub-folders), pattern by pattern in the
// order of collectReadableFileTypes and, within a pattern, in the folder's order. A file is taken for a pattern
// by its own name's ending, never through its short name ("*.jpg" does not take x.jpeg for X~1.JPG).
void findReadablePictures(const wstring& folder, wstringArray& paths);
// The same with the patterns of collectReadableFileTypes given, for scanning several folders.
void findReadablePictures(const wstring& folder, const wstringArray& patterns, wstringArray& paths);
