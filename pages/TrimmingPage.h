#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "pages/UnitFields.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The conversion sheet's page of trimming: margins cut off each picture, either given (in pixels or in
// percent of the picture's size) or found automatically from a background colour.
class TrimmingPage : public SettingPage {
public:
    TrimmingPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override { scanColor.release(); }

private:
    void updateEnabledStates();
    void updateScanColorState();

    Button enable;
    NumericEdit left;
    NumericEdit top;
    NumericEdit right;
    NumericEdit bottom;
    NumericEdit offset;
    NumericEdit space;
    Static swatch;
    ColorChoice scanColor;
    UnitFields margins;
};
