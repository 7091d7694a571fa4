#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The conversion sheet's page of the shape each picture is cut into (an ellipse with rounded corners of a
// given size, a circle, or a frame of a given width and height) and of the colour outside it.
class AppearancePage : public SettingPage {
public:
    AppearancePage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override { backColor.release(); }

private:
    void updateEnabledStates();

    Button enable;
    Static swatch;
    ComboBox shape;
    NumericEdit ellipseWidth;
    NumericEdit ellipseHeight;
    NumericEdit frameWidth;
    NumericEdit frameHeight;
    ColorChoice backColor;
};
