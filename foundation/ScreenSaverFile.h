#pragma once
#include <windows.h>
#include "foundation/screenSaverStrings.h"

// Where a screen-saver file keeps its pictures: the builder writes them into a copy of the player, and the
// player reads them back from its own resources. Picture k (0-based, in list order) is a complete JPEG file
// stored as resource id (k mod 50) + 1 of the type "PICTURES" followed by the group k / 50 in decimal. String
// IDS_PICTURE_COUNT holds how many there are, in decimal digits.
namespace ScreenSaverFile {

constexpr int PicturesPerGroup = 50;
// The string block that holds IDS_PICTURE_COUNT: block n holds the strings 16 (n - 1) to 16 n - 1.
constexpr int CountBlockId = IDS_PICTURE_COUNT / 16 + 1;
constexpr WORD Language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Type names are at most "PICTURES" and ten digits.
struct PictureType {
    wchar_t name[24];
};

inline PictureType pictureType(int index)
{
    PictureType type{};
    wsprintfW(type.name, L"PICTURES%d", index / PicturesPerGroup);
    return type;
}

inline int pictureId(int index)
{
    return index % PicturesPerGroup + 1;
}

} // namespace ScreenSaverFile
