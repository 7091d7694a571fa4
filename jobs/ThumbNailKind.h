#pragma once
#include "foundation/wstring.h"

namespace thumbnailmaker {

// The thumbnail-sheet kinds by their stored names, 1-based: tile, report, album, join, joinh, joinv.
// An unknown or empty name is a tile sheet.
int kindFromName(const wstring& name);
// The empty string outside 1..6.
wstring kindName(int kind);

} // namespace thumbnailmaker
