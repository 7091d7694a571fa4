#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"

// The output-format page of Bitmap: the colour depth, the palette of the 8-bit and 4-bit depths and error
// diffusion below full colour. Like every format page it edits only its format's section of the record: the
// sheets add it as a plain page.
class BmpFormatPage : public SettingPage {
public:
    BmpFormatPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void updateEnabledStates();

    Button enable;
    // 24, 8, 4 and 1 bit, in the order of the stored depth choice.
    Button depths[4];
    ComboBox palette8;
    ComboBox palette4;
    Button errorDiffusion;
};
