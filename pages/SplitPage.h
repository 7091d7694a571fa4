#pragma once
#include "pages/ColorChoice.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The environment sheet's page of the split job (the tile size and the colour behind tiles that reach past
// the picture) and of the join job (the direction and the colour behind pictures of different sizes).
class SplitPage : public SettingPage {
public:
    SplitPage();

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override;

private:
    NumericEdit tileWidth;
    NumericEdit tileHeight;
    Button joinHorizontal;
    Button joinVertical;
    ColorChoice splitColor;
    Static splitSwatch;
    Button chooseSplitColor;
    ColorChoice joinColor;
    Static joinSwatch;
    Button chooseJoinColor;
};
