#include "conversion/Text.h"
#include <memory>

namespace {

class ScreenContext {
public:
    ScreenContext() : dc(GetDC(nullptr)) {}
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;
    ~ScreenContext()
    {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
    HDC get() const { return dc; }

private:
    HDC dc;
};

Gdiplus::Color colorOf(BYTE alpha, COLORREF color)
{
    return Gdiplus::Color(alpha, GetRValue(color), GetGValue(color), GetBValue(color));
}

// Asked through the flat interface before the wrapper makes the font: Wine's GDI+ frees a font it could not
// complete but still hands its pointer out, and the wrapper's destructor would then free it a second time.
bool gdiplusAcceptsFont(HDC screen, const LOGFONTW& logfont)
{
    Gdiplus::GpFont* probe = nullptr;
    if (Gdiplus::DllExports::GdipCreateFontFromLogfontW(screen, &logfont, &probe) != Gdiplus::Ok)
        return false;
    Gdiplus::DllExports::GdipDeleteFont(probe);
    return true;
}

bool isVerticalFace(const wstring& face)
{
    return face.startsWith(L"@");
}

} // namespace

bool Text::preparePlatformFont(HDC screen)
{
    if (!fontDirty && screen == fontContext)
        return true;
    fontContext = screen;
    if (!font.create(screen, faceName.buffer(), fontSize, fontWeight, italic, underline, strikeOut,
                     static_cast<BYTE>(charSet)))
        return false;
    fontDirty = false;
    return true;
}

Gdiplus::Font* Text::makeGdiplusFont(Gdiplus::Bitmap* bitmap)
{
    if (!bitmap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ScreenContext context;
    HDC screen = context.get();
    if (!screen || !preparePlatformFont(screen))
        return nullptr;
    // The wide record: the ANSI one cannot carry a Japanese face name outside code page 932. GDI+ refuses
    // some faces that GDI accepts (vertical "@" faces under Wine); the caller then fails.
    LOGFONTW logfont = {};
    if (!GetObjectW(font.handle(), sizeof(logfont), &logfont))
        return nullptr;
    if (!gdiplusAcceptsFont(screen, logfont))
        return nullptr;
    std::unique_ptr<Gdiplus::Font> made(new Gdiplus::Font(screen, &logfont));
    if (!made || made->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return made.release();
}

bool Text::measure(Gdiplus::Bitmap* bitmap, const Gdiplus::StringFormat* format, Gdiplus::RectF& box)
{
    box = Gdiplus::RectF();
    std::unique_ptr<Gdiplus::Font> gdiplusFont(makeGdiplusFont(bitmap));
    if (!gdiplusFont)
        return false;
    Gdiplus::Graphics graphics(bitmap);
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return false;
    Gdiplus::RectF unlimited(0, 0, 0, 0);
    return graphics.MeasureString(lines().buffer(), -1, gdiplusFont.get(), unlimited, format, &box) == Gdiplus::Ok;
}

bool Text::draw(Gdiplus::Bitmap* bitmap, const Gdiplus::StringFormat* format, BYTE alpha, const Gdiplus::RectF& rect)
{
    std::unique_ptr<Gdiplus::Font> gdiplusFont(makeGdiplusFont(bitmap));
    if (!gdiplusFont)
        return false;
    Gdiplus::SolidBrush brush(colorOf(alpha, color));
    Gdiplus::Graphics graphics(bitmap);
    if (brush.GetLastStatus() != Gdiplus::Ok || graphics.GetLastStatus() != Gdiplus::Ok ||
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias) != Gdiplus::Ok)
        return false;
    if (!noBackColor) {
        Gdiplus::SolidBrush background(colorOf(0xFF, backColor));
        if (graphics.FillRectangle(&background, rect) != Gdiplus::Ok)
            return false;
    }
    return graphics.DrawString(lines().buffer(), -1, gdiplusFont.get(), rect, format, &brush) == Gdiplus::Ok;
}

// A line feed alone breaks the line on every system; Wine's GDI+ draws the carriage return of a Windows line end,
// as the text page gives it, as a box.
wstring Text::lines() const
{
    return replace(L"\r\n", L"\n");
}

void Text::setFontFaceOf(const wstring& face)
{
    setFontFace(isVerticalFace(face) ? face.mid(1).buffer() : face.buffer());
}

INT Text::layoutFlagsFor(const wstring& face)
{
    INT flags = Gdiplus::StringFormatFlagsNoWrap;
    if (isVerticalFace(face))
        flags |= Gdiplus::StringFormatFlagsDirectionVertical;
    return flags;
}
