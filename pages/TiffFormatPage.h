#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The output-format page of TIFF: the compression, error diffusion for the two-colour compressions, and
// for the others the transparency (a transparent colour and the alpha). Like every format page it edits only
// its format's section of the record: the sheets add it as a plain page.
class TiffFormatPage : public SettingPage {
public:
    TiffFormatPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override { transparentColor.release(); }

private:
    void updateEnabledStates();

    Button enable;
    Static compressionLabel;
    ComboBox compression;
    Button errorDiffusion;
    Button transparent;
    Button assignColor;
    Static swatch;
    Button chooseButton;
    Static alphaLabel;
    NumericEdit alpha;
    ColorChoice transparentColor;
};
