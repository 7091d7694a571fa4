#pragma once
#include "pages/PagePictures.h"
#include "pages/SettingPage.h"

// The environment sheet's page of how preview windows open and look: their largest initial size, their
// background (none, or one of the application's swatches), their transparency, the stretch mode they start
// in and whether they show hints.
class PrevPage : public SettingPage {
public:
    // The main window hears of a changed background; the swatches are borrowed for the page's lifetime.
    PrevPage(HWND mainWindow, const PagePictures& pictures);

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;

private:
    HWND mainWindow;
    PagePictures pictures;
};
