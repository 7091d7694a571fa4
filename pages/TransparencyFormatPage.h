#pragma once
#include "pages/SettingPage.h"

// The output-format pages of the transparency of the written pictures: a transparent colour of the user's
// choice, and for PNG the alpha of the picture. Like every format page it edits only its format's section of
// the record: the sheets add it as a plain page.
class TransparencyFormatPage : public SettingPage {
protected:
    struct Options {
        bool& enable;
        bool& assignColor;
        COLORREF& color;
        // Null without the alpha field.
        int* alpha;
    };

    TransparencyFormatPage();

    virtual Options optionsIn(AppSetting& setting) const = 0;

    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};

class GifFormatPage : public TransparencyFormatPage {
protected:
    Options optionsIn(AppSetting& setting) const override;
};

class PngFormatPage : public TransparencyFormatPage {
protected:
    Options optionsIn(AppSetting& setting) const override;
};
