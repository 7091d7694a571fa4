#pragma once
#include "pages/ColorChoice.h"
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"
#include "pages/UnitFields.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ComboBoxEx.h"
#include "toolkit/ImageList.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The conversion sheet's page of resizing: the target size in pixels or percent, how the aspect ratio is
// kept and along which side, and whether the picture is stretched to the target or fitted into it on a
// background (its colour, transparency and the picture's place on it).
class ResizePage : public SettingPage {
public:
    ResizePage();

    // The position pictograms shown beside the places on the background.
    void setPictures(const PagePictures& shown) { pictures = shown; }

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    HBRUSH staticBrush(HWND control, HDC dc) override;
    void releaseWindowResources() override;

private:
    void updateSizeRules();
    void updateStretchRules();

    Button enable;
    NumericEdit width;
    NumericEdit height;
    ComboBox adjust;
    ComboBox orientation;
    NumericEdit ratio;
    Static fixedRatio;
    Static swatch;
    ComboBoxEx renderPosition;
    ColorChoice backColor;
    UnitFields size;
    ImageList positionImages;
    PagePictures pictures;
};
