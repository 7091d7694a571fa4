#pragma once
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Slider.h"
#include "toolkit/Static.h"

// The output-format pages that choose between a fixed quality (1 to 100, on a slider) and a target file
// size (1 to 999 KB), plus one option of their format in a last check box. Like every format page it edits
// only its format's section of the record: the sheets add it as a plain page, without start page or applied
// flag.
class QualityFormatPage : public SettingPage {
public:
    // The slider's moves show the quality.
    bool onScroll(int bar, UINT code, HWND control) override;

protected:
    // The options as the record keeps them.
    struct Options {
        bool enable = false;
        int assign = 0;
        int quality = 0;
        int fileSize = 0;
        bool lastBox = false;
    };

    // lastBoxId: the format's own check box; when it means a lossless picture, ticking it leaves nothing to
    // choose.
    QualityFormatPage(int lastBoxId, bool lastBoxMeansLossless);

    virtual Options read(const AppSetting& setting) const = 0;
    virtual void write(AppSetting& setting, const Options& options) const = 0;

    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void updateEnabledStates();
    void showQuality();

    int lastBoxId;
    bool lastBoxMeansLossless;
    Button enable;
    Button qualityAssign;
    Button sizeAssign;
    Slider quality;
    Static qualityLabel;
    Static qualityValue;
    Static fileSizeLabel;
    NumericEdit fileSize;
    Static fileSizeUnit;
    Button lastBox;
};

// JPEG output: quality or file size, and whether the source's Exif data is kept.
class JpegFormatPage : public QualityFormatPage {
public:
    JpegFormatPage();

protected:
    Options read(const AppSetting& setting) const override;
    void write(AppSetting& setting, const Options& options) const override;
};

// HD Photo output (WDP and HDP files): quality or file size, or a lossless picture.
class HdpFormatPage : public QualityFormatPage {
public:
    HdpFormatPage();

protected:
    Options read(const AppSetting& setting) const override;
    void write(AppSetting& setting, const Options& options) const override;
};
