#pragma once
#include "pages/SettingPage.h"

// The conversion sheet's page of the shape each picture is cut into (an ellipse with rounded corners of a
// given size, a circle, or a frame of a given width and height) and of the colour outside it.
class AppearancePage : public SettingPage {
public:
    AppearancePage();

protected:
    void exchange(PageExchange& x, AppSetting& setting) override;
    void command(int id, int code) override;
};
