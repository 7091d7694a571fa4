#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The environment sheet's page of animated GIFs (the delay between frames and the transparent colour) and
// of AVI videos (the frame rate).
class AviPage : public SettingPage {
public:
    AviPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override { transparentColor.release(); }

private:
    NumericEdit framesPerSecond;
    NumericEdit delay;
    ColorChoice transparentColor;
    Button transparent;
    Button assignColor;
    Static swatch;
    Button chooseButton;
};
