#pragma once
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBoxEx.h"
#include "toolkit/ImageList.h"
#include "toolkit/NumericEdit.h"
#include "toolkit/Static.h"

// The environment sheet's page of how preview windows open and look: their largest initial size, their
// background (none, or one of the application's swatches), their transparency, the stretch mode they start
// in and whether they show hints.
class PrevPage : public SettingPage {
public:
    // The main window hears of a changed background; the swatches are borrowed for the page's lifetime.
    PrevPage(HWND mainWindow, const PagePictures& pictures);

protected:
    void bindControls() override;
    void fill(const AppSetting& setting) override;
    void apply(AppSetting& setting) override;
    void command(int id, int code) override;
    void releaseWindowResources() override;

private:
    void fillBackgrounds(int selection);

    HWND mainWindow;
    PagePictures pictures;
    NumericEdit initWidth;
    NumericEdit initHeight;
    ComboBoxEx background;
    Button useTransparent;
    NumericEdit transparency;
    Static transparencyLabel;
    Static percent;
    Button modeOriginal;
    Button modeStretch;
    Button modeKeepAspect;
    Button showHints;
    ImageList swatchImages;
};
