#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The conversion sheet's page of rotation: a quarter, half or three-quarter turn, a free angle on a
// background colour, or a skew along both axes on a background colour of its own.
class RotatePage : public SettingPage {
public:
    RotatePage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override;

private:
    void updateEnabledStates();

    Button enable;
    NumericEdit angle;
    NumericEdit skewH;
    NumericEdit skewV;
    Static angleSwatch;
    Static skewSwatch;
    ColorChoice angleColor;
    ColorChoice skewColor;
};
