#include "pages/TextPage.h"
#include <algorithm>
#include <cmath>
#include "foundation/Application.h"
#include "imaging/Dib.h"
#include "pages/conversionPageIds.h"
#include "pages/conversionSheetStrings.h"
#include "settings/AppSetting.h"
#include "toolkit/Brush.h"

namespace {

constexpr int TextLimit = 259;
// The font sizes the settings keep, from one start to the next.
constexpr int MinimumPoints = 0;
constexpr int MaximumPoints = 255;

// The size from the bitmap's top left corner to the far edges of what is drawn on it (not transparent);
// nothing drawn gives 0 x 0.
SIZE inkExtent(Gdiplus::Bitmap& bitmap)
{
    SIZE extent{0, 0};
    Gdiplus::Rect whole(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    Gdiplus::BitmapData pixels;
    if (bitmap.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &pixels) != Gdiplus::Ok)
        return extent;
    for (UINT y = 0; y < pixels.Height; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(pixels.Scan0) + y * pixels.Stride);
        for (UINT x = 0; x < pixels.Width; ++x) {
            if (row[x] >> 24 == 0)
                continue;
            extent.cx = std::max<LONG>(extent.cx, static_cast<LONG>(x) + 1);
            extent.cy = static_cast<LONG>(y) + 1;
        }
    }
    bitmap.UnlockBits(&pixels);
    return extent;
}

// The settings file gives back bare line feeds (XML keeps no carriage returns), which an edit box of Windows
// does not take for line breaks.
wstring windowsLineEnds(const wstring& text)
{
    return text.replace(L"\r\n", L"\n").replace(L"\n", L"\r\n");
}

} // namespace

TextPage::TextPage() : SettingPage(IDC_ENABLE)
{
    fontDialog.limitSizes(MinimumPoints, MaximumPoints);
}

void TextPage::bindControls()
{
    bind(sample, IDC_TEXT_SAMPLE);
    bind(text, IDC_TEXT_EDIT);
}

void TextPage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_ENABLE, s.textEnable);
    // Shown with the line ends of Windows, stored as the box holds it.
    wstring typed = windowsLineEnds(s.textText);
    x.text(IDC_TEXT_EDIT, typed, TextLimit);
    if (x.isApplying())
        s.textText = typed;
    x.keep(font.points, s.textFontSize);
    x.keep(font.weight, s.textFontWeight);
    x.keep(font.face, s.textFontFace);
    x.keep(font.italic, s.textFontItalic);
    x.keep(font.underline, s.textFontUnderline);
    x.keep(font.strikeOut, s.textFontStrikeOut);
    x.keep(font.charSet, s.textFontCharSet);
    x.button(IDC_TEXT_FONT, [this] { return chooseFont(); });
    x.colour(IDC_TEXT_COLOR, s.textColor);
    x.colour(IDC_TEXT_BACK_COLOR, s.textBackColor);
    x.check(IDC_TEXT_NO_BACK, s.textNoBackColor);
    x.pictureChoice(IDC_TEXT_POSITION, s.textPosition, IDS_TEXT_POSITIONS, pictures.pictograms,
                    pictures.pictogramCount);
    x.number(IDC_TEXT_OFFSET_X, s.textOffsetX, -999, 999);
    x.number(IDC_TEXT_OFFSET_Y, s.textOffsetY, -999, 999);
    x.number(IDC_TEXT_ALPHA, s.textColorAlpha, 0, 255);
    x.angle(IDC_TEXT_ANGLE, s.textAngle, L"359.99");
    if (!x.isFilling())
        return;
    takeSampleText();
    applyFontToSample();
    fontDialog.record.hwndOwner = getHandle();
    sampleText.setColor(s.textColor);
    previewBack = s.viewPreviewBack;
}

void TextPage::takeSampleText()
{
    wstring typed = text.getText();
    // An empty text would show nothing at all; the program's folder shows how a text will look.
    if (typed.isEmpty())
        if (Application* application = getApplication())
            typed = application->getDirectory();
    sampleText = typed;
}

void TextPage::applyFontToSample()
{
    sampleText.setFontFaceOf(font.face);
    sampleText.setFontSize(font.points);
    sampleText.setFontWeight(font.weight);
    sampleText.setItalic(font.italic);
    sampleText.setUnderline(font.underline);
    sampleText.setStrikeOut(font.strikeOut);
    sampleText.setCharSet(font.charSet);
}

bool TextPage::chooseFont()
{
    fontDialog.setPointSize(font.points);
    LOGFONTW& chosen = fontDialog.font;
    chosen.lfWeight = font.weight;
    chosen.lfItalic = font.italic ? TRUE : FALSE;
    chosen.lfCharSet = static_cast<BYTE>(font.charSet);
    lstrcpynW(chosen.lfFaceName, font.face.buffer(), LF_FACESIZE);
    if (!ChooseFontW(&fontDialog.record))
        return false;
    font.points = fontDialog.record.iPointSize / 10;
    font.weight = chosen.lfWeight;
    font.face = chosen.lfFaceName;
    font.italic = chosen.lfItalic != FALSE;
    font.charSet = chosen.lfCharSet;
    applyFontToSample();
    return true;
}

void TextPage::command(int id, int code)
{
    if ((id != IDC_ENABLE && id != IDC_TEXT_NO_BACK) || code != BN_CLICKED)
        return;
    bool on = isChecked(IDC_ENABLE);
    enableItems({IDC_TEXT_SAMPLE, IDC_TEXT_FONT, IDC_TEXT_COLOR, IDC_TEXT_NO_BACK, IDC_TEXT_POSITION_LABEL,
                 IDC_TEXT_POSITION, IDC_TEXT_OFFSET_GROUP, IDC_TEXT_OFFSET_X_LABEL, IDC_TEXT_OFFSET_X,
                 IDC_TEXT_OFFSET_Y_LABEL, IDC_TEXT_OFFSET_Y, IDC_TEXT_LABEL, IDC_TEXT_EDIT, IDC_TEXT_ALPHA_LABEL,
                 IDC_TEXT_ALPHA, IDC_TEXT_ANGLE_LABEL, IDC_TEXT_ANGLE, IDC_TEXT_ANGLE_UNIT},
                on);
    enableItems({IDC_TEXT_BACK_COLOR}, on && !isChecked(IDC_TEXT_NO_BACK));
}

void TextPage::onChanged(int id)
{
    if (id == IDC_TEXT_EDIT)
        takeSampleText();
    if (id == IDC_TEXT_COLOR)
        sampleText.setColor(colourOf(IDC_TEXT_COLOR));
    sample.invalidate();
}

HBRUSH TextPage::staticBrush(HWND control, HDC dc)
{
    if (control != sample.getHandle())
        return nullptr;
    try {
        drawSample(control, dc);
    } catch (const Exception&) {
        // What was drawn stays.
    }
    // The static must not paint over the sample.
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

const Dib* TextPage::backgroundSwatch() const
{
    if (!isChecked(IDC_TEXT_NO_BACK) || !pictures.swatches || previewBack < 1 || previewBack > pictures.swatchCount)
        return nullptr;
    return &pictures.swatches[previewBack - 1];
}

void TextPage::paintBackground(HDC dc, const RECT& area)
{
    // Without a background of its own the text lies on the picture: the preview's background pattern stands
    // for it, and without a pattern the preview's plain window colour.
    COLORREF plain = isChecked(IDC_TEXT_NO_BACK) ? GetSysColor(COLOR_WINDOW) : colourOf(IDC_TEXT_BACK_COLOR);
    if (const Dib* swatch = backgroundSwatch()) {
        PatternBrush tiles;
        if (tiles.create(swatch->getBitmap())) {
            HPALETTE previous = swatch->selectPalette(dc);
            FillRect(dc, &area, tiles.handle());
            if (previous)
                SelectPalette(dc, previous, FALSE);
            return;
        }
    }
    SolidBrush fill;
    if (fill.create(plain))
        FillRect(dc, &area, fill.handle());
}

void TextPage::drawSample(HWND control, HDC dc)
{
    RECT area;
    GetClientRect(control, &area);
    // The whole sample is made off the screen and copied over what it showed before, so no earlier place,
    // text, alpha or angle stays behind.
    Dib canvas;
    if (area.right < 1 || area.bottom < 1 || !canvas.create(area.right, area.bottom, 32, GetSysColor(COLOR_WINDOW)))
        return;
    HDC buffer = canvas.getDC();
    paintBackground(buffer, area);
    drawText(buffer, area);
    const Dib* swatch = backgroundSwatch();
    HPALETTE previous = swatch ? swatch->selectPalette(dc) : nullptr;
    BitBlt(dc, 0, 0, area.right, area.bottom, buffer, 0, 0, SRCCOPY);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    canvas.releaseDC();
}

void TextPage::drawText(HDC dc, const RECT& area)
{
    Gdiplus::Graphics graphics(dc);
    Gdiplus::StringFormat format(Text::layoutFlagsFor(font.face));
    Gdiplus::Bitmap measuring(1, 1, &graphics);
    Gdiplus::RectF box;
    if (!sampleText.measure(&measuring, &format, box))
        return;
    auto boxWidth = static_cast<INT>(std::ceil(box.Width));
    auto boxHeight = static_cast<INT>(std::ceil(box.Height));
    if (boxWidth < 1 || boxHeight < 1)
        return;

    // The measured box leaves out what slanted or overhanging glyphs reach beyond it: the text is drawn with
    // room to spare, and the sample takes the box grown to the ink.
    INT margin = boxHeight;
    Gdiplus::Bitmap drawn(boxWidth + margin, boxHeight + margin, &graphics);
    Gdiplus::RectF roomy(0, 0, static_cast<Gdiplus::REAL>(boxWidth + margin),
                         static_cast<Gdiplus::REAL>(boxHeight + margin));
    if (drawn.GetLastStatus() != Gdiplus::Ok ||
        !sampleText.draw(&drawn, &format, static_cast<BYTE>(numberIn(IDC_TEXT_ALPHA).toIntRounded()), roomy))
        return;
    SIZE ink = inkExtent(drawn);
    auto width = static_cast<Gdiplus::REAL>(std::max<INT>(boxWidth, ink.cx));
    auto height = static_cast<Gdiplus::REAL>(std::max<INT>(boxHeight, ink.cy));

    int place = selectionOf(IDC_TEXT_POSITION);
    if (place < 0)
        place = 0;
    Gdiplus::REAL across[3] = {0, (area.right - width) / 2, area.right - width};
    Gdiplus::REAL down[3] = {0, (area.bottom - height) / 2, area.bottom - height};
    if (graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault) != Gdiplus::Ok)
        return;
    graphics.TranslateTransform(across[place % 3], down[std::min(place / 3, 2)]);
    auto degrees = static_cast<Gdiplus::REAL>(numberIn(IDC_TEXT_ANGLE).toDouble());
    if (degrees != 0) {
        graphics.TranslateTransform(width / 2, height / 2);
        graphics.RotateTransform(degrees);
        graphics.TranslateTransform(-width / 2, -height / 2);
    }
    graphics.DrawImage(&drawn, Gdiplus::RectF(0, 0, width, height), 0, 0, width, height, Gdiplus::UnitPixel);
}
