#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The output-format pages of the transparency of the written pictures: a transparent colour of the user's
// choice, and for PNG the alpha of the picture. Like every format page it edits only its format's section of
// the record: the sheets add it as a plain page.
class TransparencyFormatPage : public SettingPage {
protected:
    struct Options {
        bool enable = false;
        bool assignColor = false;
        COLORREF color = 0;
        int alpha = 0;
    };

    // withAlpha: the page has the alpha field.
    explicit TransparencyFormatPage(bool withAlpha);

    virtual Options read(const AppSetting& setting) const = 0;
    virtual void write(AppSetting& setting, const Options& options) const = 0;

    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override { transparentColor.release(); }

private:
    void updateEnabledStates();

    bool withAlpha;
    Button enable;
    Button assignColor;
    Static swatch;
    Button chooseButton;
    Static alphaLabel;
    NumericEdit alpha;
    ColorChoice transparentColor;
};

class GifFormatPage : public TransparencyFormatPage {
public:
    GifFormatPage() : TransparencyFormatPage(false) {}

protected:
    Options read(const AppSetting& setting) const override;
    void write(AppSetting& setting, const Options& options) const override;
};

class PngFormatPage : public TransparencyFormatPage {
public:
    PngFormatPage() : TransparencyFormatPage(true) {}

protected:
    Options read(const AppSetting& setting) const override;
    void write(AppSetting& setting, const Options& options) const override;
};
