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
    text.setText(setting.textText);
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

void TextPage::paintBackground(HDC dc, const RECT& area)
{
    if (!isChecked(IDC_TEXT_NO_BACK)) {
        SolidBrush fill;
        if (fill.create(backColor.colour()))
            FillRect(dc, &area, fill.handle());
        return;
    }
    // Without a background of its own the text lies on the picture: the preview's background pattern
    // stands for it.
    if (previewBack < 1 || previewBack > pictures.swatchCount || !pictures.swatches)
        return;
    const Dib& swatch = pictures.swatches[previewBack - 1];
    PatternBrush tiles;
    if (!tiles.create(swatch.getBitmap()))
        return;
    HPALETTE previous = nullptr;
    if (HPALETTE palette = swatch.getPalette()) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    FillRect(dc, &area, tiles.handle());
    if (previous)
        SelectPalette(dc, previous, FALSE);
}

void TextPage::drawSample(HWND control, HDC dc)
{
    RECT area;
    GetClientRect(control, &area);
    paintBackground(dc, area);

    Gdiplus::Graphics graphics(dc);
    Gdiplus::StringFormat format(Text::layoutFlagsFor(font.face));
    Gdiplus::Bitmap measuring(1, 1, &graphics);
    Gdiplus::RectF box;
    if (!sampleText.measure(&measuring, &format, box))
        return;
    auto textWidth = static_cast<INT>(std::ceil(box.Width));
    auto textHeight = static_cast<INT>(std::ceil(box.Height));
    if (textWidth < 1 || textHeight < 1)
        return;

    int place = static_cast<int>(position.sendMessage(CB_GETCURSEL));
    if (place < 0)
        place = 0;
    Gdiplus::REAL across[3] = {0, (area.right - box.Width) / 2, area.right - box.Width};
    Gdiplus::REAL down[3] = {0, (area.bottom - box.Height) / 2, area.bottom - box.Height};
    Gdiplus::REAL x = across[place % 3];
    Gdiplus::REAL y = down[std::min(place / 3, 2)];

    Gdiplus::Bitmap drawn(textWidth, textHeight, &graphics);
    Gdiplus::RectF whole(0, 0, static_cast<Gdiplus::REAL>(textWidth), static_cast<Gdiplus::REAL>(textHeight));
    if (drawn.GetLastStatus() != Gdiplus::Ok ||
        !sampleText.draw(&drawn, &format, static_cast<BYTE>(wholeNumber(alpha)), whole))
        return;
    if (graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault) != Gdiplus::Ok)
        return;
    graphics.TranslateTransform(x, y);
    auto degrees = static_cast<Gdiplus::REAL>(angle.getValue().toDouble());
    if (degrees != 0) {
        graphics.TranslateTransform(box.Width / 2, box.Height / 2);
        graphics.RotateTransform(degrees);
        graphics.TranslateTransform(-box.Width / 2, -box.Height / 2);
    }
    graphics.DrawImage(&drawn, 0, 0, textWidth, textHeight);
}

void TextPage::releaseWindowResources()
{
    textColor.release();
    backColor.release();
    if (position.getHandle())
        position.setImageList(nullptr);
}
