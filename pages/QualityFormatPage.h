#pragma once
#include "pages/SettingPage.h"

// The output-format pages that choose between a fixed quality (1 to 100, on a slider) and a target file
// size (1 to 999 KB), plus one option of their format in a last check box. Like every format page it edits
// only its format's section of the record: the sheets add it as a plain page, without start page or applied
// flag.
class QualityFormatPage : public SettingPage {
protected:
    // The options as the record keeps them.
    struct Options {
        bool& enable;
        int& assign;
        int& quality;
        int& fileSize;
        bool& lastBox;
    };

    // lastBoxId: the format's own check box; when it means a lossless picture, ticking it leaves nothing to
    // choose.
    QualityFormatPage(int lastBoxId, bool lastBoxMeansLossless);

    virtual Options optionsIn(AppSetting& setting) const = 0;

    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
    void onChanged(int id) override;

private:
    void updateEnabledStates();
    void showQuality();

    int lastBoxId;
    bool lastBoxMeansLossless;
};

// JPEG output: quality or file size, and whether the source's Exif data is kept.
class JpegFormatPage : public QualityFormatPage {
public:
    JpegFormatPage();

protected:
    Options optionsIn(AppSetting& setting) const override;
};

// HD Photo output (WDP and HDP files): quality or file size, or a lossless picture.
class HdpFormatPage : public QualityFormatPage {
public:
    HdpFormatPage();

protected:
    Options optionsIn(AppSetting& setting) const override;
};
