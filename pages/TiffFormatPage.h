#pragma once
#include "pages/SettingPage.h"

// The output-format page of TIFF: the compression, error diffusion for the two-colour compressions, and
// for the others the transparency (a transparent colour and the alpha). Like every format page it edits only
// its format's section of the record: the sheets add it as a plain page.
class TiffFormatPage : public SettingPage {
public:
    TiffFormatPage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
