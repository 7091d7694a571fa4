#pragma once
#include "pages/SettingPage.h"

// The output-format page of Bitmap: the colour depth, the palette of the 8-bit and 4-bit depths and error
// diffusion below full colour. Like every format page it edits only its format's section of the record: the
// sheets add it as a plain page.
class BmpFormatPage : public SettingPage {
public:
    BmpFormatPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
