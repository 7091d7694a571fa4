#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// Owner of one font handle, empty at first.
class Font {
public:
    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() { release(); }

    // Makes a font of the given point size for the device context, or for the display when dc is null, in
    // place of the one held. False when no font (or no display context) could be made.
    bool create(HDC dc, const wchar_t* faceName, int pointSize, int weight, bool italic, bool underline,
                bool strikeOut, BYTE charSet);
    // The DeleteObject result; 0 when no font was held.
    BOOL release();
    HFONT handle() const { return font; }

private:
    HFONT font = nullptr;
};

// The font description height of a font of that many points on the display: negative, the character
// height in pixels. 0 when the display cannot be asked.
LONG displayFontHeight(int points);

// True when the display knows a font family of that face name.
bool fontExists(const wchar_t* faceName);
// The first face of a list of faces separated by "/" that the display knows; empty when it knows none. The
// font mapper takes such a list for one unknown face and falls back to a face of its own choice.
wstring firstInstalledFace(const wstring& faces);
