#pragma once
#include "conversion/Text.h"
#include "pages/ColorChoice.h"
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBoxEx.h"
#include "toolkit/Edit.h"
#include "toolkit/FontDialog.h"
#include "toolkit/ImageList.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The conversion sheet's page of the text written onto each picture: the text, its font, colours and
// background, its place, offsets, opacity and angle. A sample area shows the text as the conversion will
// draw it (the offsets aside).
class TextPage : public SettingPage {
public:
    TextPage();

    // The position pictograms shown beside the places, and the swatches of the sample's background when the
    // text has none of its own.
    void setPictures(const PagePictures& shown) { pictures = shown; }

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override;

private:
    // What the font dialog edits, kept as the settings hold it (a vertical face keeps its "@").
    struct FontChoice {
        int points = 0;
        int weight = 0;
        wstring face;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        int charSet = 0;
    };

    void updateEnabledStates();
    void takeSampleText();
    void chooseFont();
    void applyFontToSample();
    // Marks the page changed and has the sample drawn again.
    void repaint();
    void drawSample(HWND control, HDC dc);
    // The swatch the sample lies on, when the text has no background of its own and the preview a pattern.
    const Dib* backgroundSwatch() const;
    void paintBackground(HDC dc, const RECT& area);
    void drawText(HDC dc, const RECT& area);

    Button enable;
    Static sample;
    ComboBoxEx position;
    NumericEdit offsetX;
    NumericEdit offsetY;
    NumericEdit alpha;
    NumericEdit angle;
    Edit text;
    Text sampleText;
    FontChoice font;
    FontDialog fontDialog;
    ColorChoice textColor;
    ColorChoice backColor;
    ImageList positionImages;
    PagePictures pictures;
    int previewBack = 0;
};
