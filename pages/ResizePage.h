#pragma once
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"
#include "pages/UnitFields.h"

// The conversion sheet's page of resizing: the target size in pixels or percent, how the aspect ratio is
// kept and along which side, and whether the picture is stretched to the target or fitted into it on a
// background (its colour, transparency and the picture's place on it).
class ResizePage : public SettingPage {
public:
    ResizePage();

    // The position pictograms shown beside the places on the background.
    void setPictures(const PagePictures& shown) { pictures = shown; }

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    void updateSizeRules();
    void updateStretchRules();

    UnitFields size;
    PagePictures pictures;
};
