#pragma once
#include "conversion/Text.h"
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"
#include "toolkit/Edit.h"
#include "toolkit/FontDialog.h"
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
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
    // Every change shows in the sample.
    void onChanged(int id) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;

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

    void takeSampleText();
    // True when the user chose a font.
    bool chooseFont();
    void applyFontToSample();
    void drawSample(HWND control, HDC dc);
    // The swatch the sample lies on, when the text has no background of its own and the preview a pattern.
    const Dib* backgroundSwatch() const;
    void paintBackground(HDC dc, const RECT& area);
    void drawText(HDC dc, const RECT& area);

    Static sample;
    Edit text;
    Text sampleText;
    FontChoice font;
    FontDialog fontDialog;
    PagePictures pictures;
    int previewBack = 0;
};
