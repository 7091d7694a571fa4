#pragma once
#include <windows.h>
#include <gdiplus.h>
#include "foundation/wstring.h"
#include "toolkit/Font.h"

// A text that measures and draws itself onto GDI+ bitmaps in its own font and colours. The platform font is
// made on first use and made again only after a font property or the screen context has changed.
// Colours are COLORREF values.
class Text : public wstring {
public:
    Text() = default;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    using wstring::operator=;

    void setFontSize(int points) { fontSize = points; fontDirty = true; }
    void setFontWeight(int weight) { fontWeight = weight; fontDirty = true; }
    void setFontFace(const wchar_t* face) { faceName = face; fontDirty = true; }
    // A face named with a leading "@" is the vertical form of a font. GDI+ knows no such faces: the font is
    // made from the face without it, and the string format of layoutFlagsFor lays the text out downwards.
    void setFontFaceOf(const wstring& face);
    // The string format flags for a text in that face: never wrapped, vertical for an "@" face.
    static INT layoutFlagsFor(const wstring& face);
    void setItalic(bool on) { italic = on; fontDirty = true; }
    void setUnderline(bool on) { underline = on; fontDirty = true; }
    void setStrikeOut(bool on) { strikeOut = on; fontDirty = true; }
    void setCharSet(int set) { charSet = set; fontDirty = true; }
    void setColor(COLORREF value) { color = value; }
    void setBackColor(COLORREF value) { backColor = value; }
    void setNoBackColor(bool on) { noBackColor = on; }

    // The box that the whole text takes when laid out from (0, 0) without a size limit.
    bool measure(Gdiplus::Bitmap* bitmap, const Gdiplus::StringFormat* format, Gdiplus::RectF& box);
    // Draws the text anti-aliased into the rectangle with the text colour at the alpha, over an opaque
    // rectangle of the background colour unless there is to be no background.
    bool draw(Gdiplus::Bitmap* bitmap, const Gdiplus::StringFormat* format, BYTE alpha, const Gdiplus::RectF& rect);

    wstring fontName() const { return faceName; }
    // True until the platform font matches the font properties.
    bool isFontDirty() const { return fontDirty; }

private:
    // The text with each line ended by a line feed alone.
    wstring lines() const;
    bool preparePlatformFont(HDC screen);
    // The GDI+ font for drawing on the bitmap, made from the platform font of the screen context; null when
    // there is no bitmap (last error 87) or either font cannot be made.
    Gdiplus::Font* makeGdiplusFont(Gdiplus::Bitmap* bitmap);

    int fontSize = 9;
    int fontWeight = FW_NORMAL;
    wstring faceName = L"System";
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = DEFAULT_CHARSET;
    bool fontDirty = true;
    HDC fontContext = nullptr;
    Font font;
    bool noBackColor = true;
    COLORREF color = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
};
