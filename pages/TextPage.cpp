#include "pages/TextPage.h"
#include <algorithm>
#include <cmath>
#include "foundation/Application.h"
#include "imaging/Dib.h"
#include "pages/conversionPageIds.h"
#include "pages/pictureImageList.h"
#include "settings/AppSetting.h"
#include "toolkit/Brush.h"

namespace {

constexpr int TextLimit = 259;

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
}

void TextPage::bindControls()
{
    bind(enable, IDC_ENABLE);
    bind(sample, IDC_TEXT_SAMPLE);
    bind(position, IDC_TEXT_POSITION);
    bind(offsetX, IDC_TEXT_OFFSET_X);
    bind(offsetY, IDC_TEXT_OFFSET_Y);
    bind(alpha, IDC_TEXT_ALPHA);
    bind(angle, IDC_TEXT_ANGLE);
    bind(text, IDC_TEXT_EDIT);
}

void TextPage::fill(const AppSetting& setting)
{
    enable.setCheck(setting.textEnable);
    text.limitText(TextLimit);
    text.setText(windowsLineEnds(setting.textText));
    takeSampleText();
    font = {setting.textFontSize,      setting.textFontWeight,   setting.textFontFace,  setting.textFontItalic,
            setting.textFontUnderline, setting.textFontStrikeOut, setting.textFontCharSet};
    applyFontToSample();
    fontDialog.record.hwndOwner = getHandle();
    textColor.reset(getHandle(), setting.textColor);
    sampleText.setColor(setting.textColor);
    backColor.reset(getHandle(), setting.textBackColor);
    setChecked(IDC_TEXT_NO_BACK, setting.textNoBackColor);
    previewBack = setting.viewPreviewBack;
    wstringArray positions;
    loadListItems(IDS_TEXT_POSITIONS, positions);
    fillPictureList(position, positionImages, pictures.pictograms, pictures.pictogramCount, positions,
                    setting.textPosition);
    setNumber(offsetX, -999, 999, setting.textOffsetX);
    setNumber(offsetY, -999, 999, setting.textOffsetY);
    setNumber(alpha, 0, 255, setting.textColorAlpha);
    setAngle(angle, L"359.99", setting.textAngle);
}

void TextPage::apply(AppSetting& setting)
{
    setting.textEnable = enable.getCheck();
    setting.textFontSize = font.points;
    setting.textFontWeight = font.weight;
    setting.textFontFace = font.face;
    setting.textFontItalic = font.italic;
    setting.textFontUnderline = font.underline;
    setting.textFontStrikeOut = font.strikeOut;
    setting.textFontCharSet = font.charSet;
    setting.textColor = textColor.colour();
    setting.textBackColor = backColor.colour();
    setting.textNoBackColor = isChecked(IDC_TEXT_NO_BACK);
    setting.textPosition = static_cast<int>(position.sendMessage(CB_GETCURSEL));
    setting.textOffsetX = wholeNumber(offsetX);
    setting.textOffsetY = wholeNumber(offsetY);
    // The edit as it is: an empty edit is no text, whatever the sample shows in its place.
    setting.textText = text.getText();
    setting.textColorAlpha = wholeNumber(alpha);
    setting.textAngle = angle.getValue();
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

void TextPage::chooseFont()
{
    fontDialog.setPointSize(font.points);
    LOGFONTW& chosen = fontDialog.font;
    chosen.lfWeight = font.weight;
    chosen.lfItalic = font.italic ? TRUE : FALSE;
    chosen.lfCharSet = static_cast<BYTE>(font.charSet);
    lstrcpynW(chosen.lfFaceName, font.face.buffer(), LF_FACESIZE);
    if (!ChooseFontW(&fontDialog.record))
        return;
    font.points = fontDialog.record.iPointSize / 10;
    font.weight = chosen.lfWeight;
    font.face = chosen.lfFaceName;
    font.italic = chosen.lfItalic != FALSE;
    font.charSet = chosen.lfCharSet;
    applyFontToSample();
    repaint();
}

void TextPage::updateEnabledStates()
{
    bool on = enable.getCheck();
    enableItems({IDC_TEXT_SAMPLE, IDC_TEXT_FONT, IDC_TEXT_COLOR, IDC_TEXT_NO_BACK, IDC_TEXT_POSITION_LABEL,
                 IDC_TEXT_POSITION, IDC_TEXT_OFFSET_GROUP, IDC_TEXT_OFFSET_X_LABEL, IDC_TEXT_OFFSET_X,
                 IDC_TEXT_OFFSET_Y_LABEL, IDC_TEXT_OFFSET_Y, IDC_TEXT_LABEL, IDC_TEXT_EDIT, IDC_TEXT_ALPHA_LABEL,
                 IDC_TEXT_ALPHA, IDC_TEXT_ANGLE_LABEL, IDC_TEXT_ANGLE, IDC_TEXT_ANGLE_UNIT},
                on);
    enableItems({IDC_TEXT_BACK_COLOR}, on && !isChecked(IDC_TEXT_NO_BACK));
}

void TextPage::repaint()
{
    setChanged();
    sample.invalidate();
}

void TextPage::command(int id, int code)
{
    switch (id) {
    case IDC_ENABLE:
    case IDC_TEXT_NO_BACK:
        if (code != BN_CLICKED)
            return;
        updateEnabledStates();
        repaint();
        return;
    case IDC_TEXT_FONT:
        if (code == BN_CLICKED)
            chooseFont();
        return;
    case IDC_TEXT_COLOR:
        if (code == BN_CLICKED && textColor.choose()) {
            sampleText.setColor(textColor.colour());
            repaint();
        }
        return;
    case IDC_TEXT_BACK_COLOR:
        if (code == BN_CLICKED && backColor.choose())
            repaint();
        return;
    case IDC_TEXT_POSITION:
        if (code == CBN_SELCHANGE)
            repaint();
        return;
    case IDC_TEXT_EDIT:
        if (code == EN_CHANGE) {
            takeSampleText();
            repaint();
        }
        return;
    case IDC_TEXT_ALPHA:
    case IDC_TEXT_ANGLE:
        if (code == EN_CHANGE)
            repaint();
        return;
    case IDC_TEXT_OFFSET_X:
    case IDC_TEXT_OFFSET_Y:
        if (code == EN_CHANGE)
            setChanged();
        return;
    default:
        return;
    }
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
    COLORREF plain = isChecked(IDC_TEXT_NO_BACK) ? GetSysColor(COLOR_WINDOW) : backColor.colour();
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
        !sampleText.draw(&drawn, &format, static_cast<BYTE>(wholeNumber(alpha)), roomy))
        return;
    SIZE ink = inkExtent(drawn);
    auto width = static_cast<Gdiplus::REAL>(std::max<INT>(boxWidth, ink.cx));
    auto height = static_cast<Gdiplus::REAL>(std::max<INT>(boxHeight, ink.cy));

    int place = static_cast<int>(position.sendMessage(CB_GETCURSEL));
    if (place < 0)
        place = 0;
    Gdiplus::REAL across[3] = {0, (area.right - width) / 2, area.right - width};
    Gdiplus::REAL down[3] = {0, (area.bottom - height) / 2, area.bottom - height};
    if (graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault) != Gdiplus::Ok)
        return;
    graphics.TranslateTransform(across[place % 3], down[std::min(place / 3, 2)]);
    auto degrees = static_cast<Gdiplus::REAL>(angle.getValue().toDouble());
    if (degrees != 0) {
        graphics.TranslateTransform(width / 2, height / 2);
        graphics.RotateTransform(degrees);
        graphics.TranslateTransform(-width / 2, -height / 2);
    }
    graphics.DrawImage(&drawn, Gdiplus::RectF(0, 0, width, height), 0, 0, width, height, Gdiplus::UnitPixel);
}

void TextPage::releaseWindowResources()
{
    textColor.release();
    backColor.release();
    if (position.getHandle())
        position.setImageList(nullptr);
}
